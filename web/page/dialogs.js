// The page's dialogs, as the window's: a warning box for every failure (the
// whole reason, over the page), message boxes that leave the instrument
// running behind them (help, About), and a file name asked for before a
// download. None stops the instrument: each answers through a promise or a
// call once the user gives it.

// A dialog of the page's style with a title. It keeps its keys (Enter and
// Space for its buttons, what is typed into its fields) from the instrument.
export function makeDialog(title, { className = '' } = {}) {
  const dialog = document.createElement('dialog');
  dialog.className = `box ${className}`.trim();
  dialog.dataset.ownKeys = '';
  const heading = document.createElement('h2');
  heading.textContent = title;
  dialog.append(heading);
  dialog.setAttribute('aria-label', title);
  dialog.addEventListener('close', () => dialog.remove());
  document.body.append(dialog);
  return dialog;
}

// A row of buttons at the foot of a dialog: [{ text, action, primary }].
export function buttonRow(dialog, buttons) {
  const row = document.createElement('div');
  row.className = 'buttons';
  const made = buttons.map(({ text, action, primary }) => {
    const button = document.createElement('button');
    button.type = 'button';
    button.textContent = text;
    if (primary) button.className = 'primary';
    button.addEventListener('click', action);
    row.append(button);
    return button;
  });
  dialog.append(row);
  return made;
}

// "Save settings", "The instrument is off: ..." : a warning, plain text.
export function showFailure(title, text) {
  const dialog = makeDialog(title, { className: 'failure' });
  dialog.setAttribute('role', 'alertdialog');
  const body = document.createElement('p');
  body.textContent = text;
  dialog.append(body);
  const [close] = buttonRow(dialog, [{ text: 'Close', action: () => dialog.close(), primary: true }]);
  dialog.showModal();
  close.focus();
  return dialog;
}

// A box that stays open beside the running instrument until closed: the
// keys' table, About. `content` is a node.
export function messageBox(title, content) {
  const dialog = makeDialog(title, { className: 'message' });
  dialog.append(content);
  const [close] = buttonRow(dialog, [{ text: 'Close', action: () => dialog.close(), primary: true }]);
  dialog.addEventListener('keydown', (event) => {
    if (event.key === 'Escape') dialog.close();
  });
  dialog.show();
  close.focus({ preventScroll: true });
  return dialog;
}

// The name of a file to download, the offered one selected; `suffix` (".png")
// is added to a name without one. Resolves to null when cancelled.
export function askFileName(title, offered, suffix) {
  return new Promise((resolve) => {
    const dialog = makeDialog(title);
    const form = document.createElement('form');
    form.method = 'dialog';
    const label = document.createElement('label');
    label.textContent = 'File name:';
    const input = document.createElement('input');
    input.type = 'text';
    input.value = offered;
    input.spellcheck = false;
    input.autocomplete = 'off';
    label.append(input);
    form.append(label);
    dialog.append(form);
    let answer = null;
    const [ok] = buttonRow(dialog, [
      { text: 'Save', primary: true, action: () => { form.requestSubmit(); } },
      { text: 'Cancel', action: () => dialog.close() },
    ]);
    const check = () => { ok.disabled = fileName(input.value, suffix) === ''; };
    input.addEventListener('input', check);
    form.addEventListener('submit', (event) => {
      event.preventDefault();
      const name = fileName(input.value, suffix);
      if (name === '') return;
      answer = name;
      dialog.close();
    });
    dialog.addEventListener('close', () => resolve(answer));
    dialog.showModal();
    input.focus();
    // The name without its suffix, ready to be typed over.
    const dot = offered.lastIndexOf('.');
    input.setSelectionRange(0, dot > 0 ? dot : offered.length);
    check();
  });
}

// A name the browser can save under: no folders, the suffix added where the
// name has none; '' when nothing is left.
export function fileName(typed, suffix) {
  const name = typed.trim().replace(/^.*[\\/]/, '');
  if (name === '' || name === '.' || name === '..') return '';
  return /\.[^.]+$/.test(name) ? name : `${name}${suffix}`;
}

// Hands a blob to the browser as a download under `name`.
export function download(blob, name) {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(blob);
  link.download = name;
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 10000);
}
