// The service worker (sw.js) that keeps the page working offline once it has
// been loaded. Only where the browser allows one (a page served over HTTPS or
// from this computer); without it the page works as before, online.
export function keepOffline() {
  if (!('serviceWorker' in navigator) || !window.isSecureContext) return;
  navigator.serviceWorker.register('sw.js').catch(() => {});
}

// Whether the page is under the worker's care (for the tests).
export function offlineReady() {
  return navigator.serviceWorker?.controller != null;
}
