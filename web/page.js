// The start page: what the screen-saver tab of the system's display
// settings is on Windows. It shows the preview, starts the display and the
// settings, exports and imports the settings file, and may start the display
// after some minutes without input. Each of them is a fresh run of the
// program (createTessellane), which ends by handing control back here.
'use strict';

(() => {
  const SETTINGS_FILE = 'テセレーン.ini';
  // The keys of the settings file's section: a file without any is no
  // settings file of this program.
  const SECTION = /^\[\s*section\s*\]$/i;
  const KEYS = ['停止時間', '背景色', '背景色ﾗﾝﾀﾞﾑ', 'BGM区分', 'BGMﾘﾋﾟｰﾄ', 'BGMﾌｧｲﾙ'];
  // The program reads no more of a settings file.
  const LARGEST_SETTINGS_FILE = 1 << 20;
  const PREVIEW_WINDOW = 1;
  const IDLE_SETTING = 'tessellane/page/idle';
  const NOTICE_MS = 6000;

  const element = (id) => document.getElementById(id);
  let running = null;  // 'display' or 'settings': one at a time
  let audio = null;    // {context, output}: made on the first click that starts the display
  let wakeLock = null;
  let idleTimer = 0;
  let noticeTimer = 0;
  let compiled = null;

  function say(text) {
    element('message').textContent = text;
  }

  function notice(text) {
    const box = element('notice');
    box.textContent = text;
    box.hidden = false;
    clearTimeout(noticeTimer);
    noticeTimer = setTimeout(() => { box.hidden = true; }, NOTICE_MS);
  }

  // The program's code is fetched and compiled once; each run instantiates it.
  function program() {
    if (!compiled) compiled = WebAssembly.compileStreaming(fetch('tessellane.wasm'));
    return compiled;
  }

  // Runs the program with the switches; resolves with its exit code. Only
  // the settings window writes text: the display does not wait for the font.
  async function run(args, sound) {
    const font = args[0] === '/c' ? document.fonts.load('13px "Tessellane Gothic"') : null;
    await Promise.all([font, TessStorage.loadMusicNames()]);
    return new Promise((resolve, reject) => {
      const host = {
        root: element('programs'),
        storage: TessStorage,
        audio: () => sound,
        notice,
        ended: resolve,
      };
      createTessellane({
        host,
        print: (text) => console.log(text),
        printErr: (text) => console.error(text),
        instantiateWasm: (imports, done) => {
          program().then((code) => WebAssembly.instantiate(code, imports)).then((instance) => done(instance), reject);
          return {};
        },
      }).then((instance) => instance.callMain(args), reject);
    });
  }

  // --- The display -----------------------------------------------------------

  // Full screen, sound and a screen that stays on all need the user's click;
  // without one the display runs in the window, silent.
  function takeScreenAndSound() {
    const root = document.documentElement;
    if (root.requestFullscreen) root.requestFullscreen({navigationUI: 'hide'}).catch(() => {});
    if (navigator.wakeLock) navigator.wakeLock.request('screen').then((lock) => { wakeLock = lock; }, () => {});
    try {
      if (!audio) {
        const context = new AudioContext();
        const output = context.createGain();
        output.connect(context.destination);
        audio = {context, output};
      }
      audio.context.resume();
      return audio;
    } catch (e) {
      return null;
    }
  }

  function giveBack() {
    if (document.fullscreenElement && document.exitFullscreen) document.exitFullscreen().catch(() => {});
    if (wakeLock) wakeLock.release().catch(() => {});
    wakeLock = null;
    if (location.hash) history.replaceState(null, '', location.pathname + location.search);
  }

  async function startDisplay(byClick) {
    if (running) return;
    running = 'display';
    clearTimeout(idleTimer);
    document.documentElement.classList.add('running');
    const sound = byClick ? takeScreenAndSound() : null;
    if (!byClick) notice('クリックで始めたのではないため、全画面にせず、音楽なしで表示します。');
    try {
      await run(['/s'], sound);
    } catch (e) {
      console.error(e);
    } finally {
      running = null;
      document.documentElement.classList.remove('running');
      giveBack();
      startPreview();
      restartIdle();
    }
  }

  async function openSettings() {
    if (running) return;
    running = 'settings';
    clearTimeout(idleTimer);
    try {
      await run(['/c'], null);
    } catch (e) {
      console.error(e);
    } finally {
      running = null;
      giveBack();
      restartIdle();
    }
  }

  // --- The settings file -------------------------------------------------------

  // The text of a settings file in UTF-8 or code page 932, or null for
  // bytes that cannot be one.
  function settingsText(bytes) {
    if (bytes.length > LARGEST_SETTINGS_FILE || bytes.includes(0)) return null;
    try {
      return new TextDecoder('utf-8', {fatal: true}).decode(bytes);
    } catch (e) {
      return new TextDecoder('shift_jis').decode(bytes);
    }
  }

  function isSettingsFile(bytes) {
    const text = settingsText(bytes);
    if (text === null) return false;
    let inSection = false;
    return text.replace(/^\uFEFF/, '').split(/\r\n|\r|\n/).some((raw) => {
      const line = raw.trim();
      if (line.startsWith('[')) {
        inSection = SECTION.test(line);
        return false;
      }
      const equals = line.indexOf('=');
      return inSection && equals > 0 && KEYS.includes(line.slice(0, equals).trim());
    });
  }

  function exportSettings(event) {
    const bytes = TessStorage.readFile(SETTINGS_FILE);
    if (!bytes) {
      event.preventDefault();
      say('保存された設定はまだありません。');
      return;
    }
    const url = URL.createObjectURL(new Blob([bytes], {type: 'application/octet-stream'}));
    event.currentTarget.href = url;
    setTimeout(() => URL.revokeObjectURL(url), 60000);
  }

  async function importSettings(event) {
    const input = event.target;
    const file = input.files && input.files[0];
    input.value = '';
    if (!file) return;
    const bytes = new Uint8Array(await file.arrayBuffer());
    if (!isSettingsFile(bytes)) {
      say('「' + file.name + '」はテセレーンの設定ファイルではありません。保存されている設定はそのままです。');
      return;
    }
    const result = TessStorage.writeFile(SETTINGS_FILE, bytes);
    say(result === true ? '「' + file.name + '」の設定を読み込みました。' : '設定を保存できませんでした。' + result);
  }

  // --- Starting after a time without input --------------------------------------

  function idleSetting() {
    try {
      const saved = JSON.parse(localStorage.getItem(IDLE_SETTING));
      if (saved && saved.minutes >= 1) return saved;
    } catch (e) {
      // a setting from elsewhere: the default
    }
    return {on: false, minutes: 5};
  }

  function restartIdle() {
    clearTimeout(idleTimer);
    const setting = idleSetting();
    if (setting.on && !running) idleTimer = setTimeout(() => startDisplay(false), setting.minutes * 60000);
  }

  function keepIdleSetting() {
    const minutes = Math.max(1, Math.round(Number(element('idle-minutes').value) || 5));
    try {
      localStorage.setItem(IDLE_SETTING, JSON.stringify({on: element('idle').checked, minutes}));
    } catch (e) {
      say('この設定はブラウザーに保存できません。');
    }
    restartIdle();
  }

  // The preview lives as long as its pane; a display the address started
  // first has the machine to itself until it ends.
  let previewStarted = false;
  function startPreview() {
    if (previewStarted || running === 'display') return;
    previewStarted = true;
    run(['/p', String(PREVIEW_WINDOW)], null).catch((e) => console.error(e));
  }

  // --- The address ---------------------------------------------------------------

  // "#s" starts the display, "#c" opens the settings (a link, a bookmark, a kiosk).
  function followAddress() {
    if (location.hash === '#s') startDisplay(false);
    else if (location.hash === '#c') openSettings();
  }

  function start() {
    element('start').addEventListener('click', () => startDisplay(true));
    element('settings').addEventListener('click', () => openSettings());
    element('export').addEventListener('click', exportSettings);
    element('import').addEventListener('change', importSettings);
    const setting = idleSetting();
    element('idle').checked = setting.on;
    element('idle-minutes').value = setting.minutes;
    element('idle').addEventListener('change', keepIdleSetting);
    element('idle-minutes').addEventListener('change', keepIdleSetting);
    for (const type of ['pointermove', 'pointerdown', 'keydown', 'wheel', 'touchstart'])
      window.addEventListener(type, restartIdle, {capture: true, passive: true});
    window.addEventListener('hashchange', followAddress);
    program();
    followAddress();
    startPreview();
    restartIdle();
    // Keeping the site for offline use fetches every file again: once the
    // page has what it needs.
    window.addEventListener('load', () => {
      if ('serviceWorker' in navigator) navigator.serviceWorker.register('sw.js').catch(() => {});
      if (navigator.storage && navigator.storage.persist) navigator.storage.persist().catch(() => {});
    });
  }

  // For the page's tests and for a look from the browser's console.
  window.tessellane = {storage: TessStorage, audio: () => audio, running: () => running, startDisplay, openSettings,
                       isSettingsFile};
  start();
})();
