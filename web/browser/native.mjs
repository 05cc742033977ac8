// The native scenario runner, whose frames the page must match, and where the
// builds are: DG2_WEB_BUILD (the page's build folder, build-web) and
// DG2_SCENARIO (the native runner, build/tools/scenario/dg2_scenario), each
// relative to the repository or absolute.
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

export const ROOT = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
export const WEB_BUILD = path.resolve(ROOT, process.env.DG2_WEB_BUILD || 'build-web');
export const NATIVE = path.resolve(ROOT,
                                   process.env.DG2_SCENARIO || 'build/tools/scenario/dg2_scenario');
const FRAME_ROWS = 64;

// Runs a scenario file (relative to the repository or absolute).
export function runNative(file) {
  const run = spawnSync(NATIVE, [file], { cwd: ROOT, encoding: 'utf8' });
  if (run.error) throw run.error;
  return { status: run.status, output: run.stdout, errors: run.stderr };
}

// The frames a run printed: every `dump`, as 64 rows of 114 ('#' lit).
export function framesOf(output) {
  const rows = output.split('\n').filter((line) => /^[.#]{114}$/.test(line));
  const frames = [];
  for (let i = 0; i + FRAME_ROWS <= rows.length; i += FRAME_ROWS)
    frames.push(rows.slice(i, i + FRAME_ROWS).join('\n'));
  return frames;
}

// Native frames of a script given as text.
export function nativeFrames(script) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'dg2-web-'));
  const file = path.join(dir, 'check.scn');
  fs.writeFileSync(file, script);
  const run = runNative(file);
  fs.rmSync(dir, { recursive: true });
  if (run.status !== 0) throw new Error(`native run failed: ${run.errors}`);
  return framesOf(run.output);
}
