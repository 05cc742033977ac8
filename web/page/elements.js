// The page's elements by the window's control names, and the status bar.
export const $ = (id) => document.getElementById(id);

export function showStatus(text) {
  $('StatusBar1').textContent = text;
}
