// A message box, as the window shows one for a failure: a title, the text
// (its first line also in the status bar) and OK.
import { showStatus } from './elements.js';

export function showFailure(title, text) {
  showStatus(`${title}: ${text.split('\n')[0]}`);
  const box = document.createElement('dialog');
  box.className = 'failure';
  box.setAttribute('aria-label', title);
  const heading = document.createElement('strong');
  heading.textContent = title;
  const body = document.createElement('p');
  body.style.whiteSpace = 'pre-wrap';
  body.textContent = text;
  const form = document.createElement('form');
  form.method = 'dialog';
  const ok = document.createElement('button');
  ok.textContent = 'OK';
  form.append(ok);
  box.append(heading, body, form);
  box.addEventListener('close', () => box.remove());
  document.body.append(box);
  box.showModal();
}
