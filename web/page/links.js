// Links that carry the instrument's settings: index.html#settings=TEXT, the
// settings file compressed (deflate, raw) and in URL-safe base64, opens the
// page powered on with those settings (every power-on then ends with them,
// as the window's --settings does). "Copy link" makes one from the running
// instrument.
import { showStatus } from './elements.js';
import { module, powerOn } from './instrument.js';
import { copyRecord, workbench } from './workbench.js';

export const SETTINGS_LINK = '#settings=';

let linkRecord = null;  // the link's settings record, once in force

// Hands the link's settings, if any, to a fresh instrument (a recording's).
export function carryLinkSettings(target) {
  if (linkRecord === null) return;
  target.HEAPU8.set(linkRecord, target._dg2_incoming_record());
  target._dg2_power_on_settings(1);
}

async function squeeze(bytes, stream) {
  const piped = new Blob([bytes]).stream().pipeThrough(stream);
  return new Uint8Array(await new Response(piped).arrayBuffer());
}

function toBase64Url(bytes) {
  let binary = '';
  for (const byte of bytes) binary += String.fromCharCode(byte);
  return btoa(binary).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
}

function fromBase64Url(text) {
  const binary = atob(text.replace(/-/g, '+').replace(/_/g, '/'));
  return Uint8Array.from(binary, (c) => c.charCodeAt(0));
}

// The link, or null (with the reason in the status bar).
export async function copyLink() {
  let text;
  try {
    text = await workbench();
  } catch (error) {
    showStatus(`No link: ${error.message}`);
    return null;
  }
  const instrument = module();
  copyRecord(instrument, instrument._dg2_settings_record(), text, text._dg2_record());
  const toml = text.ccall('dg2_record_to_text', 'string', [], []);
  if (toml === '') {
    showStatus('No settings to link yet: switch the instrument on first');
    return null;
  }
  const packed = await squeeze(new TextEncoder().encode(toml), new CompressionStream('deflate-raw'));
  const link = `${location.origin}${location.pathname}${SETTINGS_LINK}${toBase64Url(packed)}`;
  try {
    await navigator.clipboard.writeText(link);
    showStatus('Link copied: it opens the page powered on with these settings');
  } catch {
    // No clipboard (an insecure origin, a refusal): the link to copy by hand.
    showStatus(`Copy this link: ${link}`);
  }
  return link;
}

// Powers on with the link's settings; a bad link says what is wrong and
// leaves the instrument off.
export async function openSettingsLink(code) {
  let toml;
  try {
    const packed = fromBase64Url(code);
    toml = new TextDecoder('utf-8', { fatal: true })
      .decode(await squeeze(packed, new DecompressionStream('deflate-raw')));
  } catch {
    showStatus('The link\'s settings are damaged (cut short or changed): the instrument stays off');
    return false;
  }
  try {
    const text = await workbench();
    const error = text.ccall('dg2_text_to_record', 'string', ['string', 'string'], [toml, 'link']);
    if (error !== '') {
      showStatus(`The link's settings cannot be used: ${error}`);
      return false;
    }
    const instrument = module();
    copyRecord(text, text._dg2_record(), instrument, instrument._dg2_incoming_record());
    instrument._dg2_power_on_settings(1);
    const at = instrument._dg2_incoming_record();
    linkRecord = instrument.HEAPU8.slice(at, at + instrument._dg2_settings_record_size());
  } catch (error) {
    showStatus(`The link's settings cannot be used: ${error.message}`);
    return false;
  }
  powerOn();
  return true;
}
