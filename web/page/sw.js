// The page's service worker: once the page has been loaded, every file of
// its build (the instrument, the optional modules, the bezel, the icons) is
// kept in a cache named after the build, so the page works offline and can
// be installed. Online, the server's files come first, so a new build shows
// at once; its worker replaces the cache of the old one.
// offline_files.js (written by the build) sets DG2_BUILD and DG2_FILES.
importScripts('offline_files.js');

const CACHE = `dg2-${self.DG2_BUILD}`;

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(CACHE).then((cache) => cache.addAll(self.DG2_FILES))
    .then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((name) => name.startsWith('dg2-') && name !== CACHE)
      .map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
});

// A page opened with a query (?play=...) is the same page.
async function fromCache(request) {
  const cache = await caches.open(CACHE);
  return cache.match(request, { ignoreSearch: request.mode === 'navigate' });
}

self.addEventListener('fetch', (event) => {
  const { request } = event;
  if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin) return;
  event.respondWith(fetch(request).catch(async (error) => {
    const kept = await fromCache(request);
    if (kept) return kept;
    throw error;
  }));
});
