// What the browser keeps for the page and the program: the settings file in
// the origin's local storage (its bytes as a string of byte-sized
// characters, so that a save replaces it in one step and the program reads
// it at once), and the music files the user chose in IndexedDB, under their
// names, which the settings file stores.
'use strict';

const TessStorage = (() => {
  const FILE_PREFIX = 'tessellane/file/';
  const DATABASE = 'tessellane';
  const MUSIC = 'music';
  // Where local storage is switched off, the files live as long as the page.
  const fallback = new Map();
  let musicNames = new Set();

  const local = (() => {
    try {
      return window.localStorage;
    } catch (e) {
      return null;
    }
  })();

  function toBinaryString(bytes) {
    let text = '';
    for (let i = 0; i < bytes.length; i += 0x8000) text += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
    return text;
  }

  function readFile(path) {
    const text = local ? local.getItem(FILE_PREFIX + path) : fallback.get(path);
    if (text === null || text === undefined) return null;
    const bytes = new Uint8Array(text.length);
    for (let i = 0; i < text.length; ++i) bytes[i] = text.charCodeAt(i);
    return bytes;
  }

  // True, or why the file could not be written, in the program's language.
  function writeFile(path, bytes) {
    if (!local) {
      fallback.set(path, toBinaryString(bytes));
      return true;
    }
    try {
      local.setItem(FILE_PREFIX + path, toBinaryString(bytes));
      return true;
    } catch (e) {
      if (e && e.name === 'QuotaExceededError') return 'ブラウザーの保存領域がいっぱいです。';
      return 'ブラウザーが保存を受け付けませんでした。(' + (e && e.name) + ')';
    }
  }

  function database() {
    return new Promise((resolve, reject) => {
      const request = indexedDB.open(DATABASE, 1);
      request.onupgradeneeded = () => request.result.createObjectStore(MUSIC);
      request.onsuccess = () => resolve(request.result);
      request.onerror = () => reject(request.error);
    });
  }

  // One request in a transaction of the music store.
  async function musicRequest(mode, makeRequest) {
    const db = await database();
    try {
      return await new Promise((resolve, reject) => {
        const transaction = db.transaction(MUSIC, mode);
        const request = makeRequest(transaction.objectStore(MUSIC));
        transaction.oncomplete = () => resolve(request.result);
        transaction.onerror = transaction.onabort = () => reject(transaction.error || request.error);
      });
    } finally {
      db.close();
    }
  }

  // The names of the kept music files, read once before a program starts.
  async function loadMusicNames() {
    try {
      musicNames = new Set(await musicRequest('readonly', (store) => store.getAllKeys()));
    } catch (e) {
      musicNames = new Set();
    }
  }

  function hasMusic(name) {
    return musicNames.has(name);
  }

  async function musicBytes(name) {
    const bytes = await musicRequest('readonly', (store) => store.get(name));
    if (!bytes) throw new Error('no music file ' + name);
    return bytes.slice(0);  // decoding takes the buffer over
  }

  async function keepMusic(file) {
    const bytes = await file.arrayBuffer();
    await musicRequest('readwrite', (store) => store.put(bytes, file.name));
    musicNames.add(file.name);
    return file.name;
  }

  return {readFile, writeFile, loadMusicNames, hasMusic, musicBytes, keepMusic};
})();
