// The page around the game: loading with progress, the checks that explain a blank canvas,
// keyboard focus, the toolbar for touch and mouse, the layout on phones, scenes and recordings
// in files and links, and the ended state. The game itself is dazozi-redov.js and .wasm.
'use strict';

(function () {
  // What Module._dazozi_probe(what, index) answers, a code a question (web/Probe.hpp holds the
  // same table; tests/web/probe_codes.py checks that the two agree).
  const Probe = Object.freeze({
    Balls: 0,
    BallX: 1,
    BallY: 2,
    PlayerX: 3,
    PlayerY: 4,
    ScrollX: 5,
    Debug: 6,
    KeyDown: 7,
    Kind: 8,
    Paused: 9,
    Help: 10,
    Stars: 11,
    StarX: 12,
    StarY: 13,
    StaticShapes: 14,
    Edit: 15,
    Settings: 16,
    Replaying: 17,
    SceneMenu: 18,
    ZoomStep: 19,
    Following: 20,
  });

  const canvas = document.getElementById('canvas');
  const loading = document.getElementById('loading');
  const progress = document.getElementById('progress');
  const progressText = document.getElementById('progress-text');
  let failed = false;

  // What the page's test and the benchmark read: frames run and when the first one came.
  const status = (window.dazoziStatus = {
    frames: 0,
    firstFrameMs: null,
    ended: false,
    error: null,
    contextLost: false,
    notice: null, // the last notice shown (Share, Open, links)
    replayLink: null, // the last link Share replay made
  });

  function show(id) {
    for (const panel of ['loading', 'message', 'ended', 'lost']) {
      document.getElementById(panel).hidden = panel !== id;
    }
  }

  function fail(text) {
    if (failed || status.ended) return;
    failed = true;
    status.error = text;
    // Once frames have run, the game did start: it stopped.
    document.getElementById('message-title').textContent =
      status.frames > 0 ? 'Dazozi Redov stopped' : 'Dazozi Redov cannot start';
    document.getElementById('message-text').textContent = text;
    show('message');
  }

  function megabytes(bytes) {
    return (bytes / 1048576).toFixed(1) + ' MB';
  }

  function hasWebGL() {
    const probe = document.createElement('canvas');
    return !!(probe.getContext('webgl2') || probe.getContext('webgl'));
  }

  // The game's keys reach it only while the canvas has the focus, and the first click gives
  // it. That click only gives the focus: the game reads its input once a frame, digits before
  // clicks, so a focusing click followed within the same frame by a digit key (a quick hand,
  // a slow frame) would otherwise spawn the newly selected kind where nobody meant to click.
  // The listeners run first (capture on the window), before SDL's on the canvas and document.
  // Only the release of that same button is swallowed, and only until the next press: if the
  // release never comes (the focus went elsewhere meanwhile), a later click must keep its own
  // release, or the game would see its button held for good.
  let swallowUpOf = -1;
  let escapeTookOver = false; // its release is the page's too
  window.addEventListener('mousedown', (event) => {
    swallowUpOf = -1;
    if (event.target !== canvas || document.activeElement === canvas) return;
    canvas.focus({ preventScroll: true });
    event.preventDefault();
    event.stopImmediatePropagation();
    swallowUpOf = event.button;
    // The click is the user's gesture that lets the page play sound; SDL, which would resume
    // its audio on it, does not see it.
    const audio = window.Module && Module.SDL2 && Module.SDL2.audioContext;
    if (audio && audio.state === 'suspended') audio.resume().catch(() => {});
  }, true);
  window.addEventListener('mouseup', (event) => {
    if (event.button !== swallowUpOf) return;
    swallowUpOf = -1;
    event.stopImmediatePropagation();
  }, true);
  // S shares the scene and Ctrl+S downloads it: the page's keys, which the game never hears.
  // Ctrl+S anywhere in the page, or the browser would save the page itself; S only while the
  // game has the focus (S typed into the link's field is only a letter).
  const plainS = (event) => event.code === 'KeyS' && !event.ctrlKey && !event.metaKey && !event.altKey;
  for (const type of ['keydown', 'keyup']) {
    window.addEventListener(type, (event) => {
      const save = event.code === 'KeyS' && event.ctrlKey && !event.metaKey && !event.altKey;
      if (!save && !(plainS(event) && document.activeElement === canvas)) return;
      event.preventDefault();
      event.stopImmediatePropagation();
      if (type === 'keydown' && !event.repeat) {
        if (save) saveScene();
        else share();
      }
    }, true);
  }
  // A replay holds the game's keys and clicks until it ends; Escape (or the Take over button)
  // ends it at once and gives the game to the user, who goes on from there. The game itself
  // never hears that Escape, which would end it.
  const takeOverButton = document.getElementById('take-over');
  const replayPlaying = () => !!(window.Module && Module._dazozi_probe && Module._dazozi_probe(Probe.Replaying, 0) === 1);
  function takeOver() {
    if (window.Module && Module._dazozi_take_over) Module._dazozi_take_over();
    takeOverButton.hidden = true;
    canvas.focus({ preventScroll: true });
  }
  takeOverButton.addEventListener('mousedown', (event) => event.preventDefault());
  takeOverButton.addEventListener('click', takeOver);
  for (const type of ['keydown', 'keyup']) {
    window.addEventListener(type, (event) => {
      if (event.key !== 'Escape' || (type === 'keydown' && !replayPlaying())) return;
      if (type === 'keyup' && !escapeTookOver) return;
      event.preventDefault();
      event.stopImmediatePropagation();
      if (type === 'keydown') {
        escapeTookOver = true;
        takeOver();
      } else {
        escapeTookOver = false;
      }
    }, true);
  }
  // The browser's own shortcuts (reload, find, zoom, close the tab) stay the browser's: SDL,
  // which cancels every key it hears, never hears these. The game's own are the exceptions:
  // Ctrl itself, Ctrl+Z, Ctrl+Shift+Z and Ctrl+Y (undo and redo), and Ctrl+O, which opens the
  // work left unsaved last time instead of the browser's file dialog.
  const gameShortcut = (event) => event.key === 'Control' ||
      (event.ctrlKey && !event.metaKey && !event.altKey &&
       (event.code === 'KeyZ' || event.code === 'KeyY' || event.code === 'KeyO'));
  for (const type of ['keydown', 'keypress', 'keyup']) {
    window.addEventListener(type, (event) => {
      if (gameShortcut(event)) return;
      if (event.ctrlKey || event.metaKey || event.key === 'F5') event.stopImmediatePropagation();
    }, true);
  }
  // Holding the right button spawns objects; no context menu over the game.
  canvas.addEventListener('contextmenu', (event) => event.preventDefault());
  // Focus moving elsewhere in the page is the desktop's focus loss as well: keys held then
  // are released and pending presses dropped (SDL hears only the window's blur and focus).
  canvas.addEventListener('blur', () => window.dispatchEvent(new FocusEvent('blur')));
  canvas.addEventListener('focus', () => window.dispatchEvent(new FocusEvent('focus')));

  // Start again without the address's link: a link that ends the game at once (a recording
  // pressing Escape) would otherwise end it again on every start.
  document.getElementById('restart').addEventListener('click', () => {
    forgetLink();
    location.reload();
  });
  document.getElementById('reload').addEventListener('click', () => location.reload());

  // The toolbar presses the keys a phone has not got. The game reads them where it reads the
  // keyboard, so a button does exactly what its key does, and a recording keeps it.
  const toolbar = document.getElementById('toolbar');
  function key(vk, down) {
    if (window.Module && Module._dazozi_key) Module._dazozi_key(vk, down ? 1 : 0);
  }
  // Pressing a button must not take the keyboard's focus from the game; and a button pressed
  // before the game ever had the focus gives it, so that the next click on the game is one the
  // game reads (a focusing click only gives the focus).
  toolbar.addEventListener('mousedown', (event) => event.preventDefault());
  toolbar.addEventListener('click', () => {
    if (document.activeElement !== canvas) canvas.focus({ preventScroll: true });
  });
  for (const button of toolbar.querySelectorAll('button[data-kind], button[data-key]')) {
    const vk = button.dataset.kind ? 48 + Number(button.dataset.kind) : Number(button.dataset.key);
    button.addEventListener('click', () => {
      key(vk, true);
      key(vk, false);
    });
  }
  // A pinch on a touchpad reaches the page as the wheel with ctrlKey set, and no Ctrl key goes
  // down: it zooms the game (+ and -, around the pointer) instead of the page, a step per
  // notch's worth of turning.
  let pinched = 0;
  canvas.addEventListener('wheel', (event) => {
    if (!event.ctrlKey) return;
    event.preventDefault();
    event.stopImmediatePropagation();
    pinched += event.deltaMode === 0 ? event.deltaY : event.deltaY * 40;
    while (Math.abs(pinched) >= 40) {
      const vk = pinched < 0 ? 187 : 189;
      pinched -= Math.sign(pinched) * 40;
      key(vk, true);
      key(vk, false);
    }
  }, { capture: true, passive: false });
  // Undo and Redo are two keys together (Ctrl+Z, Ctrl+Y): pressed in order, let go in reverse.
  for (const button of toolbar.querySelectorAll('button[data-chord]')) {
    const keys = button.dataset.chord.split(' ').map(Number);
    button.addEventListener('click', () => {
      for (const vk of keys) key(vk, true);
      for (const vk of keys.slice().reverse()) key(vk, false);
    });
  }
  // The pad's arrows are held: pushed while a finger or button stays on them.
  for (const button of toolbar.querySelectorAll('button[data-hold]')) {
    const vk = Number(button.dataset.hold);
    const release = () => {
      if (!button.classList.contains('held')) return;
      button.classList.remove('held');
      key(vk, false);
    };
    button.addEventListener('pointerdown', (event) => {
      event.preventDefault();
      button.setPointerCapture(event.pointerId);
      button.classList.add('held');
      key(vk, true);
    });
    for (const type of ['pointerup', 'pointercancel', 'lostpointercapture']) {
      button.addEventListener(type, release);
    }
  }
  // The buttons show the game's state: the selected kind, paused, the debug view, the help,
  // edit mode, the settings panel.
  const marks = {
    kind: -1,
    pause: -1,
    debug: -1,
    help: -1,
    edit: -1,
    settings: -1,
    scenes: -1,
  };
  function mark(button, on) {
    if (button) button.setAttribute('aria-pressed', on ? 'true' : 'false');
  }
  function updateMarks() {
    const probe = Module._dazozi_probe;
    if (!probe) return;
    const now = {
      kind: probe(Probe.Kind, 0),
      pause: probe(Probe.Paused, 0),
      debug: probe(Probe.Debug, 0) > 0 ? 1 : 0,
      help: probe(Probe.Help, 0),
      edit: probe(Probe.Edit, 0),
      settings: probe(Probe.Settings, 0),
      scenes: probe(Probe.SceneMenu, 0),
    };
    if (now.kind !== marks.kind) {
      for (const button of toolbar.querySelectorAll('button[data-kind]')) {
        mark(button, Number(button.dataset.kind) === now.kind);
      }
    }
    // The building tools' buttons are there in edit mode only: elsewhere they would only crowd
    // a phone's toolbar.
    if (now.edit !== marks.edit) {
      for (const button of toolbar.querySelectorAll('button.tool')) button.hidden = now.edit !== 1;
    }
    for (const name of ['pause', 'debug', 'help', 'edit', 'settings', 'scenes']) {
      if (now[name] !== marks[name]) mark(toolbar.querySelector('[data-action="' + name + '"]'), now[name]);
    }
    Object.assign(marks, now);
    takeOverButton.hidden = probe(Probe.Replaying, 0) !== 1;
  }

  // Scenes and recordings. The game reads and writes them (web/main.cpp); texts go between the
  // two through Module's dazoziOpenText / dazoziOpenName and dazoziOutbox. Nothing here goes
  // over the network: a link holds the whole scene, a file comes from the user's disk.
  const notice = document.getElementById('notice');
  const noticeText = document.getElementById('notice-text');
  const noticeLink = document.getElementById('notice-link');
  const noticeDownload = document.getElementById('notice-download');
  const openFileInput = document.getElementById('open-file');
  const maxFileBytes = 16 * 1048576; // as the game's own limit on a link's text
  const maxLinkBytes = 65536;
  const recordingKey = 'dazozi-redov-recording';
  let noticeTimer = 0;
  let ownHash = null; // the fragment Share put in the address (no need to open it again)

  // Shows text for a few seconds; with a link (the clipboard refused it) or a download, until
  // the user closes it. The test reads the last one from dazoziStatus.notice.
  function showNotice(text, options) {
    const { link = null, download = null, action = null } = options || {};
    status.notice = text;
    noticeText.textContent = text;
    noticeLink.hidden = link === null;
    noticeLink.value = link === null ? '' : link;
    // The notice's one button: the download it offers, or another action ([label, run]).
    noticeDownload.hidden = !download && !action;
    noticeDownload.textContent = action ? action[0] : 'Download the scene';
    noticeDownload.onclick = action ? action[1] : download;
    notice.hidden = false;
    clearTimeout(noticeTimer);
    if (link !== null) {
      noticeLink.focus({ preventScroll: true });
      noticeLink.select();
    } else if (!download && !action) {
      noticeTimer = setTimeout(() => { notice.hidden = true; }, 8000);
    }
  }
  document.getElementById('notice-close').addEventListener('click', () => {
    notice.hidden = true;
    canvas.focus({ preventScroll: true });
  });

  const gameReady = () => !!(window.Module && Module._dazozi_share && status.frames > 0 && !status.ended);

  function download(text, name, type) {
    const url = URL.createObjectURL(new Blob([text], { type: type || 'application/json' }));
    const link = document.createElement('a');
    link.href = url;
    link.download = name;
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(url), 60000);
  }

  // dazozi-redov-scene-YYYY-MM-DD-HHMMSS.json in local time, as the desktop names its files.
  function sceneFileName() {
    const d = new Date();
    const two = (n) => String(n).padStart(2, '0');
    return 'dazozi-redov-scene-' + d.getFullYear() + '-' + two(d.getMonth() + 1) + '-' +
      two(d.getDate()) + '-' + two(d.getHours()) + two(d.getMinutes()) + two(d.getSeconds()) + '.json';
  }

  function saveScene() {
    if (!gameReady()) return;
    if (!Module._dazozi_save()) {
      showNotice(Module.dazoziOutbox);
      return;
    }
    const name = sceneFileName();
    download(Module.dazoziOutbox, name);
    showNotice('Scene downloaded: ' + name);
  }

  // The address without its fragment: what a shared link starts with.
  const pageAddress = () => location.href.split('#')[0];

  function share() {
    if (!gameReady()) return;
    if (!Module._dazozi_share()) {
      showNotice(Module.dazoziOutbox);
      return;
    }
    const fragment = '#scene=' + Module.dazoziOutbox;
    const link = pageAddress() + fragment;
    if (link.length > maxLinkBytes) {
      showNotice('This scene makes a link of ' + Math.ceil(link.length / 1024) +
        ' KB, more than a link carries (64 KB). Download it as a file to share it.', { download: saveScene });
      return;
    }
    ownHash = fragment;
    history.replaceState(null, '', link);
    // The notice offers the other kind of link: the play itself.
    const replay = { action: ['Share replay', shareReplay] };
    copyLink(link, 'Link copied: it opens this scene.', 'Copy this link to share the scene:', replay);
  }

  // Copies link and says so; when the browser refuses the clipboard, the link shows in a field,
  // selected, with the words of offered.
  function copyLink(link, copied, offered, options) {
    const offerField = () => showNotice(offered, Object.assign({ link }, options));
    if (navigator.clipboard && navigator.clipboard.writeText) {
      navigator.clipboard.writeText(link).then(() => showNotice(copied, options), offerField);
    } else {
      offerField();
    }
  }

  // dazozi-redov-recording-YYYY-MM-DD-HHMMSS.txt, as a scene's file is named.
  const recordingFileName = () => sceneFileName().replace('-scene-', '-recording-').replace(/json$/, 'txt');

  // Share replay: a #replay= link of the play since the page started (while under a minute), of
  // its last minute, or of the recording the page opened. The address keeps the scene's link: opening the replay
  // here would start the page over. A link too long to carry is offered as a file instead.
  function shareReplay() {
    if (!gameReady()) return;
    Module.dazoziAddress = pageAddress();
    if (!Module._dazozi_share_replay()) {
      const file = Module.dazoziReplayFile;
      showNotice(Module.dazoziOutbox, file ? { action: ['Download the recording', () => {
        const name = recordingFileName();
        download(file, name, 'text/plain');
        showNotice('Recording downloaded: ' + name + ' (Open plays it)');
      }] } : null);
      return;
    }
    const link = Module.dazoziOutbox;
    const what = Module.dazoziReplayWhat;
    status.replayLink = link;
    copyLink(link, 'Link copied: it replays ' + what + '.', 'Copy this link to share ' + what + ':');
  }

  // The address without a fragment: a scene opened from a file is no longer the link's.
  function forgetLink() {
    if (location.hash) history.replaceState(null, '', pageAddress());
    ownHash = null;
  }

  // A recording plays from the first frame, as --replay plays it: the page starts over with it,
  // kept meanwhile in the tab's session storage.
  function startOverWith(recording, name) {
    try {
      sessionStorage.setItem(recordingKey, JSON.stringify({ recording, name }));
    } catch (error) {
      showNotice(name + ' is too large to play in the page.');
      return;
    }
    forgetLink();
    location.reload();
  }

  function openText(text, name) {
    Module.dazoziOpenText = text;
    Module.dazoziOpenName = name;
    const opened = Module._dazozi_open();
    if (opened === 1) {
      forgetLink();
      showNotice('Opened ' + name);
    } else if (opened === 2) {
      startOverWith(text, name);
    } else {
      showNotice(Module.dazoziOutbox);
    }
  }

  function openFile(file) {
    if (!file || !gameReady()) return;
    if (file.size > maxFileBytes) {
      showNotice(file.name + ' is larger than 16 MB: not opened.');
      return;
    }
    file.text().then((text) => openText(text, file.name),
      () => showNotice(file.name + ' could not be read.'));
  }

  toolbar.querySelector('[data-action="share"]').addEventListener('click', share);
  toolbar.querySelector('[data-action="open"]').addEventListener('click', () => openFileInput.click());
  openFileInput.addEventListener('change', () => {
    openFile(openFileInput.files[0]);
    openFileInput.value = '';
  });
  // A file dropped anywhere on the page opens in the game; the browser would otherwise leave
  // the game to show the file.
  window.addEventListener('dragover', (event) => {
    event.preventDefault();
    if (event.dataTransfer) event.dataTransfer.dropEffect = 'copy';
  });
  window.addEventListener('drop', (event) => {
    event.preventDefault();
    if (event.dataTransfer && event.dataTransfer.files.length) openFile(event.dataTransfer.files[0]);
  });
  // A link pasted into the address of the running page changes only the fragment.
  window.addEventListener('hashchange', () => {
    if (!gameReady() || !location.hash || location.hash === ownHash) return;
    Module.dazoziOpenText = location.hash.slice(1);
    const opened = Module._dazozi_open_link();
    if (opened === 2) location.reload();
    else if (opened === 1) showNotice('Opened the scene of the link.');
    else showNotice(Module.dazoziOutbox);
  });

  // What the game starts with, read once: a recording handed over by Open before the page
  // started over, else the address's link.
  function startingContent() {
    let handed = null;
    try {
      handed = JSON.parse(sessionStorage.getItem(recordingKey));
      sessionStorage.removeItem(recordingKey);
    } catch (error) {
      handed = null;
    }
    return {
      dazoziStartRecording: handed ? handed.recording : null,
      dazoziStartName: handed ? handed.name : null,
      dazoziStartLink: handed ? null : location.hash.slice(1) || null,
      onNotice: showNotice,
    };
  }

  // The WebGL context can be lost (a GPU reset, a phone putting the tab in the background). The
  // game is paused meanwhile (unless it already was) and says so; when the browser gives the
  // context back, the game makes its renderer and pictures again and goes on with the same
  // scene. If it does not come back, the page says so and offers a reload.
  let pausedForLoss = false;
  let lostTimer = 0;
  const lostText = document.getElementById('lost-text');
  canvas.addEventListener('webglcontextlost', (event) => {
    event.preventDefault(); // without this the browser never gives the context back
    if (status.ended || failed) return;
    status.contextLost = true;
    lostText.textContent = 'The graphics card was reset. The game is paused until the browser ' +
      'gives the picture back.';
    pausedForLoss =
      !!(window.Module && Module._dazozi_probe && Module._dazozi_probe(Probe.Paused, 0) === 0);
    if (pausedForLoss) {
      key(80, true);
      key(80, false);
    }
    show('lost');
    clearTimeout(lostTimer);
    lostTimer = setTimeout(() => {
      lostText.textContent =
        'The browser did not give the picture back. Reloading the page starts the game again.';
    }, 10000);
  });
  canvas.addEventListener('webglcontextrestored', () => {
    clearTimeout(lostTimer);
    if (!status.contextLost) return;
    status.contextLost = false;
    if (window.Module && Module._dazozi_graphics_restored) Module._dazozi_graphics_restored();
    if (pausedForLoss) {
      key(80, true);
      key(80, false);
    }
    show(null);
  });
  document.getElementById('lost-reload').addEventListener('click', () => location.reload());

  // A phone's address bar comes and goes and the phone turns: the page follows the visible
  // height, and the game hears of every change of its canvas's size as a window resize (SDL
  // reads the canvas's size then), without a reload.
  function fitPage() {
    const height = window.visualViewport ? window.visualViewport.height : window.innerHeight;
    document.documentElement.style.setProperty('--page-h', height + 'px');
  }
  fitPage();
  if (window.visualViewport) window.visualViewport.addEventListener('resize', fitPage);
  window.addEventListener('orientationchange', fitPage);
  if (window.ResizeObserver) {
    new ResizeObserver(() => window.dispatchEvent(new Event('resize'))).observe(
      document.getElementById('stage'));
  }

  window.addEventListener('error', (event) => fail('The game stopped: ' + event.message));
  // Sound waits for the browser's permission, which comes with a user's click or key. When the
  // game ends first, closing its sound output rejects the resume still waiting for that: a
  // harmless end of the wait, not an error of the game.
  window.addEventListener('unhandledrejection', (event) => {
    const reason = event.reason;
    if (reason instanceof DOMException && /AudioContext closed before .*resume/.test(reason.message)) {
      event.preventDefault();
    }
  });

  async function fetchWithProgress(url) {
    const response = await fetch(url);
    if (!response.ok) throw new Error(url + ': HTTP ' + response.status);
    // A compressed transfer reports its compressed length; the bytes read are uncompressed.
    const total = response.headers.get('Content-Encoding')
      ? 0
      : Number(response.headers.get('Content-Length')) || 0;
    if (!response.body) return new Uint8Array(await response.arrayBuffer());
    const reader = response.body.getReader();
    const chunks = [];
    let loaded = 0;
    for (;;) {
      const { done, value } = await reader.read();
      if (done) break;
      chunks.push(value);
      loaded += value.length;
      // Without a total the bar shows that loading goes on rather than standing at zero.
      if (total) progress.value = loaded / total;
      else progress.removeAttribute('value');
      progressText.textContent =
        'Loading ' + megabytes(loaded) + (total ? ' of ' + megabytes(total) : '');
    }
    const bytes = new Uint8Array(loaded);
    let at = 0;
    for (const chunk of chunks) {
      bytes.set(chunk, at);
      at += chunk.length;
    }
    return bytes;
  }

  async function start() {
    if (typeof WebAssembly !== 'object') {
      fail('This browser cannot run WebAssembly, which the game is made of.');
      return;
    }
    if (!hasWebGL()) {
      fail('This browser has no WebGL (it may be switched off), which the game draws with.');
      return;
    }
    let wasm;
    try {
      wasm = await fetchWithProgress('dazozi-redov.wasm');
    } catch (error) {
      fail('The game could not be loaded: ' + error.message);
      return;
    }
    progressText.textContent = 'Starting...';
    window.Module = Object.assign(startingContent(), {
      canvas: canvas,
      wasmBinary: wasm,
      print: () => {},
      printErr: (text) => console.warn(text),
      onAbort: (what) => fail('The game stopped: ' + what),
      onFrame: () => {
        if (status.frames++ === 0) {
          status.firstFrameMs = performance.now();
          loading.hidden = true;
          // A phone's screen has fingers and no keys: the game's help and overlay say so from
          // the start (any finger that lands tells it as well).
          if (window.matchMedia && matchMedia('(pointer: coarse)').matches && Module._dazozi_touch_device) {
            Module._dazozi_touch_device();
          }
          offerLeftWork();
        }
        updateMarks();
      },
      onGraphicsFailed: () => fail('The picture could not be made again after the graphics card was reset.'),
      onExit: (code) => {
        // A game that could not start ends with a status: that is a failure, not an end.
        if (code) {
          fail('The game could not start (status ' + code + ').');
          return;
        }
        status.ended = true;
        show('ended');
        document.getElementById('restart').focus();
      },
    });
    const script = document.createElement('script');
    script.src = 'dazozi-redov.js';
    script.onerror = () => fail('The game could not be loaded: dazozi-redov.js is missing.');
    document.body.appendChild(script);
  }

  // Work the user has not saved is kept in the browser's storage when the page goes away, as
  // the game keeps it when it ends; the next start offers it back.
  window.addEventListener('pagehide', keepUnsavedWork);
  document.addEventListener('visibilitychange', () => {
    if (document.visibilityState === 'hidden') keepUnsavedWork();
  });
  function keepUnsavedWork() {
    if (gameReady() && Module._dazozi_keep_unsaved) Module._dazozi_keep_unsaved();
  }
  // A phone has no Ctrl+O: the page offers the kept scene with a button, which presses it. Not
  // over what the page started with (a link, a recording, or what was wrong with them).
  function offerLeftWork() {
    if (location.hash || !notice.hidden || status.notice) return;
    let waiting = false;
    try {
      waiting = localStorage.getItem('dazozi-redov-unsaved-scene') !== null;
    } catch (error) {
      return;
    }
    if (!waiting) return;
    showNotice('You left a scene unsaved last time.', { action: ['Open it', () => {
      notice.hidden = true;
      for (const vk of [17, 79]) key(vk, true);
      for (const vk of [79, 17]) key(vk, false);
      canvas.focus({ preventScroll: true });
    }] });
  }

  start();
})();
