// The browser side of the web backend (ui/web): the page elements of the
// program's forms and controls, the queue the page's events wait in until
// the program's event pump takes them, text on a canvas, the dialogs, and
// the program's storage and sound through the page that runs it.
//
// The page starts each run of the program as a fresh instance and hands it
// a host object (Module.host):
//   root             the element the forms are put in
//   storage          readFile(path) -> Uint8Array | null,
//                    writeFile(path, bytes) -> true | reason,
//                    hasMusic(name), musicBytes(name) -> Promise<ArrayBuffer>,
//                    keepMusic(file) -> Promise<name>
//   audio()          {context, output} or null without a sound output
//   notice(text)     shows a message that goes by itself
//   ended(code)      the program ended
// Everything this file makes lives until the program ends.

var LibraryTessellaneWeb = {
  $tessState__deps: ['$tessPush', '$tessListenPage'],
  $tessState: function() {
    var state = Module['tessState'];
    if (state) return state;
    state = Module['tessState'] = {
      host: Module['host'] || {},
      queue: [],
      wake: null,
      yieldWake: null,
      channel: new MessageChannel(),
      forms: new Map(),
      controls: new Map(),
      players: new Map(),
      cursors: ['', 'none', 'wait'],
      pointer: null,
      fullscreenSeen: !!document.fullscreenElement,
      keysTaken: false,
      listeners: [],
      ended: false,
      textCanvas: null,
    };
    state.channel.port1.onmessage = function() {
      var wake = state.yieldWake;
      state.yieldWake = null;
      if (wake) wake();
    };
    tessListenPage(state);
    return state;
  },

  // Queues an event and wakes a wait for one.
  $tessPush: function(state, event) {
    if (state.ended) return;
    state.queue.push(event);
    var wake = state.wake;
    state.wake = null;
    if (wake) wake();
  },

  $tessListen: function(state, target, type, handler, options) {
    target.addEventListener(type, handler, options);
    state.listeners.push([target, type, handler, options]);
  },

  $tessShift: function(e) {
    return (e.shiftKey ? 1 : 0) | (e.ctrlKey ? 2 : 0) | (e.altKey ? 4 : 0);
  },

  $tessKeyCode: function(key) {
    return {'ArrowLeft': 1, 'ArrowRight': 2, 'Escape': 3}[key] || 0;
  },

  $tessCss: function(rgb) {
    return 'rgb(' + (rgb & 255) + ',' + ((rgb >> 8) & 255) + ',' + ((rgb >> 16) & 255) + ')';
  },

  // The page's events the program hears of whatever has the focus: keys
  // (not those typed into a control), the pointer's place, a new size of the
  // viewport, and what closes a screen saver's window: a hidden tab, full
  // screen left, the keyboard gone elsewhere.
  $tessListenPage__deps: ['$tessListen', '$tessPush', '$tessShift', '$tessKeyCode'],
  $tessListenPage: function(state) {
    tessListen(state, window, 'keydown', function(e) {
      var t = e.target;
      if (t && (t.tagName === 'INPUT' || t.tagName === 'TEXTAREA' || t.tagName === 'SELECT' || t.isContentEditable)) return;
      if (!state.keysTaken) return;
      e.preventDefault();
      tessPush(state, {type: 1, key: tessKeyCode(e.key), shift: tessShift(e)});
    });
    var track = function(e) { state.pointer = {x: e.clientX, y: e.clientY}; };
    tessListen(state, window, 'pointermove', track, true);
    tessListen(state, window, 'pointerdown', track, true);
    tessListen(state, window, 'resize', function() { tessPush(state, {type: 7}); });
    tessListen(state, document, 'visibilitychange', function() {
      if (document.visibilityState === 'hidden') tessPush(state, {type: 6});
    });
    tessListen(state, document, 'fullscreenchange', function() {
      if (document.fullscreenElement) {
        state.fullscreenSeen = true;
      } else if (state.fullscreenSeen) {
        state.fullscreenSeen = false;
        tessPush(state, {type: 6});
      }
    });
    tessListen(state, window, 'blur', function() { tessPush(state, {type: 9}); });
  },

  // Gives the browser control until `startAsync` calls its wake-up (with
  // the value the call returns).
#if ASYNCIFY
  $tessSleep__deps: ['$Asyncify'],
  $tessSleep: function(startAsync) {
    return Asyncify.handleSleep(startAsync);
  },
#else
  // Built without Asyncify, to measure what it costs: nothing can wait.
  $tessSleep: function(startAsync) {
    return 0;
  },
#endif

  $tessElement: function(id) {
    return document.querySelector('[data-tess-window="' + id + '"]');
  },

  // --- The page ------------------------------------------------------------

  tess_viewport: function(width, height, ratio) {
    HEAPF64[width >> 3] = window.innerWidth;
    HEAPF64[height >> 3] = window.innerHeight;
    HEAPF64[ratio >> 3] = window.devicePixelRatio || 1;
  },

  tess_seconds_since_midnight: function() {
    var d = new Date();
    return d.getHours() * 3600 + d.getMinutes() * 60 + d.getSeconds() + d.getMilliseconds() / 1000;
  },

  tess_new_id: function() {
    globalThis.tessellaneNextId = (globalThis.tessellaneNextId || 1000) + 1;
    return globalThis.tessellaneNextId;
  },

  tess_notice__deps: ['$tessState'],
  tess_notice: function(text) {
    var state = tessState();
    if (state.host.notice) state.host.notice(UTF8ToString(text));
  },

  // Nothing of the program runs after its end: the wait never ends, and
  // what the program made leaves the page.
  tess_end_process__deps: ['$tessState', '$tessSleep'],
  tess_end_process: function(code) {
    var state = tessState();
    state.ended = true;
    state.listeners.forEach(function(l) { l[0].removeEventListener(l[1], l[2], l[3]); });
    state.players.forEach(function(p) { if (p.source) { p.source.onended = null; p.source.stop(); } });
    state.forms.forEach(function(f) { f.div.remove(); });
    document.querySelectorAll('dialog.tess-dialog').forEach(function(d) { if (d.tessOwner === state) d.remove(); });
    if (state.host.ended) state.host.ended(code);
    return tessSleep(function() {});
  },

  // --- Windows -------------------------------------------------------------

  tess_form_create__deps: ['$tessState', '$tessPush', '$tessListen', '$tessShift'],
  tess_form_create: function(id, title) {
    var state = tessState();
    var div = document.createElement('div');
    div.className = 'tess-form';
    div.hidden = true;
    div.dataset.tessWindow = id;
    div.dataset.tessTitle = UTF8ToString(title);
    var canvas = document.createElement('canvas');
    canvas.className = 'tess-surface';
    canvas.width = canvas.height = 1;
    div.appendChild(canvas);
    (state.host.root || document.body).appendChild(div);
    var form = {div: div, canvas: canvas, context: canvas.getContext('2d'), image: null};
    state.forms.set(id, form);
    var buttonOf = function(e) { return [1, 4, 2][e.button] || 0; };
    var send = function(type, e) {
      var r = canvas.getBoundingClientRect();
      tessPush(state, {type: type, window: id, button: buttonOf(e), buttons: e.buttons & 7, shift: tessShift(e),
                       x: e.clientX - r.left, y: e.clientY - r.top});
    };
    tessListen(state, canvas, 'pointerdown', function(e) {
      e.preventDefault();
      if (document.activeElement && div.contains(document.activeElement)) document.activeElement.blur();
      canvas.setPointerCapture(e.pointerId);
      send(2, e);
    });
    tessListen(state, canvas, 'pointermove', function(e) { send(3, e); });
    tessListen(state, canvas, 'pointerup', function(e) { send(4, e); });
    tessListen(state, canvas, 'pointercancel', function() { tessPush(state, {type: 5, window: id}); });
    tessListen(state, canvas, 'contextmenu', function(e) { e.preventDefault(); });
  },

  tess_form_title__deps: ['$tessState'],
  tess_form_title: function(id, title) {
    var form = tessState().forms.get(id);
    if (form) form.div.dataset.tessTitle = UTF8ToString(title);
  },

  tess_form_place__deps: ['$tessState'],
  tess_form_place: function(id, left, top, width, height, widthPx, heightPx) {
    var form = tessState().forms.get(id);
    if (!form) return;
    var style = form.div.style;
    style.left = left + 'px';
    style.top = top + 'px';
    style.width = width + 'px';
    style.height = height + 'px';
    if (form.canvas.width !== Math.max(widthPx, 1)) form.canvas.width = Math.max(widthPx, 1);
    if (form.canvas.height !== Math.max(heightPx, 1)) form.canvas.height = Math.max(heightPx, 1);
    form.canvas.style.width = width + 'px';
    form.canvas.style.height = height + 'px';
  },

  tess_form_colour__deps: ['$tessState', '$tessCss'],
  tess_form_colour: function(id, rgb) {
    var form = tessState().forms.get(id);
    if (form) form.div.style.backgroundColor = tessCss(rgb);
  },

  // A form that takes keys has the keyboard from now on.
  tess_form_show__deps: ['$tessState'],
  tess_form_show: function(id, takeKeys) {
    var state = tessState();
    var form = state.forms.get(id);
    if (!form) return;
    form.div.hidden = false;
    if (takeKeys) {
      state.keysTaken = true;
      if (document.activeElement && document.activeElement.blur) document.activeElement.blur();
    }
  },

  tess_form_destroy__deps: ['$tessState'],
  tess_form_destroy: function(id) {
    var state = tessState();
    var form = state.forms.get(id);
    if (!form) return;
    form.div.remove();
    state.forms.delete(id);
  },

  tess_form_attach__deps: ['$tessState', '$tessElement'],
  tess_form_attach: function(id, parentId) {
    var form = tessState().forms.get(id);
    var parent = tessElement(parentId);
    if (!form || !parent) return;
    form.div.classList.add('tess-child');
    parent.appendChild(form.div);
  },

  tess_form_present__deps: ['$tessState'],
  tess_form_present: function(id, rgba, width, height, x, y, w, h) {
    var form = tessState().forms.get(id);
    if (!form || w <= 0 || h <= 0) return;
    var image = form.image;
    // A view of the program's memory, made anew when the memory grew or
    // the image moved.
    if (!image || image.width !== width || image.height !== height || form.buffer !== HEAPU8.buffer ||
        form.pointer !== rgba) {
      image = form.image = new ImageData(new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4), width, height);
      form.buffer = HEAPU8.buffer;
      form.pointer = rgba;
    }
    form.context.putImageData(image, 0, 0, x, y, w, h);
  },

  tess_form_pointer__deps: ['$tessState'],
  tess_form_pointer: function(id, pointer) {
    var state = tessState();
    var form = state.forms.get(id);
    if (form) form.canvas.style.cursor = state.cursors[pointer] || '';
  },

  tess_cursor_image__deps: ['$tessState'],
  tess_cursor_image: function(rgba, width, height, hotX, hotY) {
    var state = tessState();
    var canvas = document.createElement('canvas');
    canvas.width = width;
    canvas.height = height;
    var pixels = new Uint8ClampedArray(HEAPU8.subarray(rgba, rgba + width * height * 4));
    canvas.getContext('2d').putImageData(new ImageData(pixels, width, height), 0, 0);
    state.cursors.push('url(' + canvas.toDataURL() + ') ' + hotX + ' ' + hotY + ', auto');
    return state.cursors.length - 1;
  },

  tess_find_title: function(title) {
    var wanted = UTF8ToString(title);
    var found = Array.prototype.find.call(document.querySelectorAll('[data-tess-title]'), function(e) {
      return e.dataset.tessTitle === wanted;
    });
    return found ? Number(found.dataset.tessWindow) : 0;
  },

  tess_window_rect__deps: ['$tessElement'],
  tess_window_rect: function(id, rect) {
    var element = tessElement(id);
    if (!element) return 0;
    var r = element.getBoundingClientRect();
    HEAPF64.set([r.left, r.top, r.right, r.bottom], rect >> 3);
    return 1;
  },

  tess_window_at: function(x, y, localX, localY) {
    var hit = document.elementFromPoint(x, y);
    var element = hit && hit.closest('[data-tess-window]');
    if (!element) return 0;
    var r = element.getBoundingClientRect();
    HEAPF64[localX >> 3] = x - r.left;
    HEAPF64[localY >> 3] = y - r.top;
    return Number(element.dataset.tessWindow);
  },

  tess_pointer_position__deps: ['$tessState'],
  tess_pointer_position: function(x, y) {
    var pointer = tessState().pointer;
    if (!pointer) return 0;
    HEAPF64[x >> 3] = pointer.x;
    HEAPF64[y >> 3] = pointer.y;
    return 1;
  },

  // --- The page's own controls ---------------------------------------------

  $tessAddControl__deps: ['$tessState', '$tessPush', '$tessListen'],
  $tessAddControl: function(id, formId, element) {
    var state = tessState();
    var form = state.forms.get(formId);
    element.classList.add('tess-control');
    element.dataset.tessWindow = id;
    tessListen(state, element, 'focusin', function() { tessPush(state, {type: 9}); });
    if (form) form.div.appendChild(element);
    state.controls.set(id, element);
    return element;
  },

  tess_combo_create__deps: ['$tessAddControl'],
  tess_combo_create: function(id, formId) {
    var input = document.createElement('input');
    input.type = 'text';
    input.className = 'tess-combo';
    input.autocomplete = 'off';
    var list = document.createElement('datalist');
    list.id = 'tess-list-' + id;
    input.setAttribute('list', list.id);
    var box = document.createElement('span');
    box.appendChild(input);
    box.appendChild(list);
    tessAddControl(id, formId, box);
  },

  tess_combo_add__deps: ['$tessState'],
  tess_combo_add: function(id, item) {
    var box = tessState().controls.get(id);
    var option = document.createElement('option');
    option.value = UTF8ToString(item);
    if (box) box.querySelector('datalist').appendChild(option);
  },

  tess_combo_set_text__deps: ['$tessState'],
  tess_combo_set_text: function(id, text) {
    var box = tessState().controls.get(id);
    if (box) box.querySelector('input').value = UTF8ToString(text);
  },

  tess_combo_text__deps: ['$tessState'],
  tess_combo_text: function(id, buffer, size) {
    var box = tessState().controls.get(id);
    var text = box ? box.querySelector('input').value : '';
    stringToUTF8(text, buffer, size + 1);
    return lengthBytesUTF8(text);
  },

  // Two buttons: the upper one steps towards the bar's minimum (-1), the
  // lower one towards its maximum (+1).
  tess_spinner_create__deps: ['$tessState', '$tessAddControl', '$tessPush', '$tessListen'],
  tess_spinner_create: function(id, formId) {
    var state = tessState();
    var box = document.createElement('span');
    box.className = 'tess-spinner';
    [['\u25B2', -1, '上へ'], ['\u25BC', 1, '下へ']].forEach(function(arrow) {
      var button = document.createElement('button');
      button.type = 'button';
      button.textContent = arrow[0];
      button.setAttribute('aria-label', arrow[2]);
      tessListen(state, button, 'click', function() { tessPush(state, {type: 8, window: id, button: arrow[1]}); });
      box.appendChild(button);
    });
    tessAddControl(id, formId, box);
  },

  tess_control_place__deps: ['$tessState'],
  tess_control_place: function(id, left, top, width, height) {
    var element = tessState().controls.get(id);
    if (!element) return;
    var style = element.style;
    style.left = left + 'px';
    style.top = top + 'px';
    style.width = width + 'px';
    style.height = height + 'px';
  },

  tess_control_font__deps: ['$tessState'],
  tess_control_font: function(id, family, pixels, weight) {
    var element = tessState().controls.get(id);
    if (!element) return;
    element.style.fontFamily = UTF8ToString(family);
    element.style.fontSize = pixels + 'px';
    element.style.fontWeight = weight;
  },

  // --- Events --------------------------------------------------------------

  tess_next_event__deps: ['$tessState'],
  tess_next_event: function(event) {
    var e = tessState().queue.shift();
    if (!e) return 0;
    HEAP32.set([e.type, e.window || 0, e.button || 0, e.buttons || 0, e.shift || 0, e.key || 0], event >> 2);
    HEAPF64.set([e.x || 0, e.y || 0], (event + 24) >> 3);
    return 1;
  },

  tess_wait_events__deps: ['$tessState', '$tessSleep'],
  tess_wait_events: function(milliseconds) {
    var state = tessState();
    return tessSleep(function(wakeUp) {
      if (state.queue.length) return wakeUp();
      var timer = 0;
      var finish = function() {
        clearTimeout(timer);
        state.wake = null;
        wakeUp();
      };
      timer = setTimeout(finish, Math.max(0, milliseconds));
      state.wake = finish;
    });
  },

  tess_yield__deps: ['$tessState', '$tessSleep'],
  tess_yield: function() {
    var state = tessState();
    return tessSleep(function(wakeUp) {
      state.yieldWake = wakeUp;
      state.channel.port2.postMessage(0);
    });
  },

  // --- Text ----------------------------------------------------------------

  $tessTextContext__deps: ['$tessState'],
  $tessTextContext: function(width, height) {
    var state = tessState();
    var canvas = state.textCanvas;
    if (!canvas) canvas = state.textCanvas = document.createElement('canvas');
    if (canvas.width < width) canvas.width = width;
    if (canvas.height < height) canvas.height = height;
    return canvas.getContext('2d', {willReadFrequently: true});
  },

  // The ascent and the line's height of the context's font.
  $tessLineMetrics: function(context) {
    var m = context.measureText('Mgあ');
    var ascent = m.fontBoundingBoxAscent, descent = m.fontBoundingBoxDescent;
    if (!(ascent > 0)) {
      ascent = parseFloat(context.font.match(/([\d.]+)px/)[1]) * 0.88;
      descent = ascent / 0.88 * 0.12;
    }
    return {ascent: ascent, height: ascent + descent};
  },

  // Lines that fit the width: broken after a blank where there is one,
  // else between two characters (Japanese has no blanks).
  $tessWrap: function(context, text, width) {
    var lines = [];
    text.split(/\r?\n/).forEach(function(paragraph) {
      var line = '';
      Array.from(paragraph).forEach(function(c) {
        if (line && context.measureText(line + c).width > width) {
          var blank = line.lastIndexOf(' ');
          if (blank > 0 && c !== ' ') {
            lines.push(line.slice(0, blank));
            line = line.slice(blank + 1) + c;
          } else {
            lines.push(line);
            line = c === ' ' ? '' : c;
          }
        } else {
          line += c;
        }
      });
      lines.push(line);
    });
    return lines;
  },

  tess_measure_text__deps: ['$tessTextContext', '$tessLineMetrics'],
  tess_measure_text: function(text, font, underline, width, height) {
    var context = tessTextContext(1, 1);
    context.font = UTF8ToString(font);
    HEAPF64[width >> 3] = context.measureText(UTF8ToString(text)).width;
    HEAPF64[height >> 3] = tessLineMetrics(context).height;
  },

  tess_draw_text__deps: ['$tessTextContext', '$tessLineMetrics', '$tessWrap', '$tessCss'],
  tess_draw_text: function(rgba, width, height, text, font, underline, rgb, boxLeft, boxTop, boxWidth, alignment,
                           enabled, wordWrap) {
    var context = tessTextContext(width, height);
    var bytes = width * height * 4;
    context.putImageData(new ImageData(new Uint8ClampedArray(HEAPU8.subarray(rgba, rgba + bytes)), width, height), 0, 0);
    context.save();
    context.beginPath();
    context.rect(0, 0, width, height);
    context.clip();
    context.font = UTF8ToString(font);
    context.textBaseline = 'alphabetic';
    var s = UTF8ToString(text);
    var lines = wordWrap ? tessWrap(context, s, boxWidth) : [s];
    var metrics = tessLineMetrics(context);
    var thickness = Math.max(1, Math.round(metrics.height / 16));
    var draw = function(colour, dx, dy) {
      context.fillStyle = colour;
      lines.forEach(function(line, i) {
        var lineWidth = context.measureText(line).width;
        var x = boxLeft + (alignment === 2 ? Math.floor((boxWidth - lineWidth) / 2) : alignment === 1 ? boxWidth - lineWidth : 0);
        var y = boxTop + Math.round(metrics.ascent + i * metrics.height);
        context.fillText(line, x + dx, y + dy);
        if (underline) context.fillRect(x + dx, y + dy + 1, lineWidth, thickness);
      });
    };
    // A disabled text is embossed: a white copy one pixel down and right,
    // the text itself in the shadow colour.
    if (!enabled) draw('#ffffff', 1, 1);
    draw(enabled ? tessCss(rgb) : 'rgb(128,128,128)', 0, 0);
    context.restore();
    HEAPU8.set(context.getImageData(0, 0, width, height).data, rgba);
  },

  // --- Dialogs -------------------------------------------------------------

  // A modal dialog of the page; `build` fills it and calls `answer` once.
  $tessDialog__deps: ['$tessState'],
  $tessDialog: function(title, className, build, answer) {
    var state = tessState();
    var dialog = document.createElement('dialog');
    dialog.className = 'tess-dialog ' + className;
    dialog.tessOwner = state;
    var heading = document.createElement('h2');
    heading.textContent = title;
    dialog.appendChild(heading);
    var answered = false;
    var close = function(value) {
      if (answered) return;
      answered = true;
      dialog.close();
      dialog.remove();
      answer(value);
    };
    // Escape on the dialog; a file input's own cancel event bubbles up here
    // too, and leaves the dialog open.
    dialog.addEventListener('cancel', function(e) {
      e.preventDefault();
      if (e.target === dialog) build.cancel(close);
    });
    build(dialog, close);
    document.body.appendChild(dialog);
    dialog.showModal();
    return dialog;
  },

  $tessButton: function(parent, text, onClick) {
    var button = document.createElement('button');
    button.type = 'button';
    button.textContent = text;
    button.addEventListener('click', onClick);
    parent.appendChild(button);
    return button;
  },

  tess_message__deps: ['$tessSleep', '$tessDialog', '$tessButton'],
  tess_message: function(text, title) {
    var body = UTF8ToString(text).replace(/\r/g, ''), heading = UTF8ToString(title);
    return tessSleep(function(wakeUp) {
      var build = function(dialog, close) {
        var p = document.createElement('p');
        p.textContent = body;
        dialog.appendChild(p);
        var row = document.createElement('div');
        row.className = 'tess-buttons';
        dialog.appendChild(row);
        tessButton(row, 'OK', function() { close(0); }).autofocus = true;
      };
      build.cancel = function(close) { close(0); };
      tessDialog(heading, 'tess-message', build, function() { wakeUp(0); });
    });
  },

  // The browser's colour picker in a dialog with OK and Cancel; it opens on
  // black, as the system's colour dialog does.
  tess_choose_colour__deps: ['$tessSleep', '$tessDialog', '$tessButton'],
  tess_choose_colour: function(title) {
    var heading = UTF8ToString(title);
    return tessSleep(function(wakeUp) {
      var input;
      var build = function(dialog, close) {
        input = document.createElement('input');
        input.type = 'color';
        input.value = '#000000';
        dialog.appendChild(input);
        var row = document.createElement('div');
        row.className = 'tess-buttons';
        dialog.appendChild(row);
        tessButton(row, 'OK', function() {
          var v = parseInt(input.value.slice(1), 16);
          close(((v >> 16) & 255) | (v & 0xFF00) | ((v & 255) << 16));
        });
        tessButton(row, 'キャンセル', function() { close(-1); });
      };
      build.cancel = function(close) { close(-1); };
      tessDialog(heading, 'tess-colour', build, function(value) { wakeUp(value); });
      try { input.showPicker(); } catch (e) { /* without the click's activation the picker waits for one */ }
    });
  },

  // A file input in a dialog; the chosen file is kept in the browser's
  // storage under its name before the name is handed back.
  tess_choose_music_file__deps: ['$tessSleep', '$tessState', '$tessDialog', '$tessButton'],
  tess_choose_music_file: function(title, accept, name, size) {
    var state = tessState();
    var heading = UTF8ToString(title), types = UTF8ToString(accept);
    return tessSleep(function(wakeUp) {
      var input;
      var build = function(dialog, close) {
        input = document.createElement('input');
        input.type = 'file';
        input.accept = types;
        input.addEventListener('change', function() {
          var file = input.files && input.files[0];
          if (!file) return close(-1);
          state.host.storage.keepMusic(file).then(function(kept) {
            stringToUTF8(kept, name, size + 1);
            close(lengthBytesUTF8(kept));
          }, function(error) {
            if (state.host.notice) state.host.notice(String(error && error.message || error));
            close(-1);
          });
        });
        dialog.appendChild(input);
        var row = document.createElement('div');
        row.className = 'tess-buttons';
        dialog.appendChild(row);
        tessButton(row, 'キャンセル', function() { close(-1); });
      };
      build.cancel = function(close) { close(-1); };
      tessDialog(heading, 'tess-file', build, function(value) { wakeUp(value); });
      try { input.showPicker(); } catch (e) { /* the dialog's own input stays */ }
    });
  },

  tess_open_url: function(url) {
    window.open(UTF8ToString(url), '_blank', 'noopener');
  },

  // --- Storage -------------------------------------------------------------

  tess_file_size__deps: ['$tessState'],
  tess_file_size: function(path) {
    var bytes = tessState().host.storage.readFile(UTF8ToString(path));
    return bytes ? bytes.length : -1;
  },

  tess_file_read__deps: ['$tessState'],
  tess_file_read: function(path, buffer, size) {
    var bytes = tessState().host.storage.readFile(UTF8ToString(path));
    if (!bytes) return 0;
    var n = Math.min(bytes.length, size);
    HEAPU8.set(bytes.subarray(0, n), buffer);
    return n;
  },

  tess_file_write__deps: ['$tessState'],
  tess_file_write: function(path, bytes, length, reason, reasonSize) {
    var result = tessState().host.storage.writeFile(UTF8ToString(path), HEAPU8.slice(bytes, bytes + length));
    if (result === true) return 1;
    stringToUTF8(String(result), reason, reasonSize);
    return 0;
  },

  tess_music_exists__deps: ['$tessState'],
  tess_music_exists: function(name) {
    return tessState().host.storage.hasMusic(UTF8ToString(name)) ? 1 : 0;
  },

  // --- Sound ---------------------------------------------------------------

  $tessAudio__deps: ['$tessState'],
  $tessAudio: function() {
    var host = tessState().host;
    return host.audio ? host.audio() : null;
  },

  // Starts the decoded piece at the player's offset.
  $tessStart__deps: ['$tessAudio'],
  $tessStart: function(player) {
    var audio = tessAudio();
    if (!audio || !player.buffer) return;
    if (player.source) {
      player.source.onended = null;
      player.source.stop();
    }
    var source = audio.context.createBufferSource();
    source.buffer = player.buffer;
    source.loop = player.loop;
    source.connect(audio.output);
    source.onended = function() {
      if (player.source !== source) return;
      player.source = null;
      player.playing = false;
      player.offset = 0;
    };
    var offset = Math.min(player.offset, player.buffer.duration);
    source.start(0, offset);
    player.startedAt = audio.context.currentTime - offset;
    player.source = source;
  },

  tess_audio_outputs__deps: ['$tessAudio'],
  tess_audio_outputs: function() {
    return tessAudio() ? 1 : 0;
  },

  tess_player_open__deps: ['$tessState', '$tessAudio', '$tessStart'],
  tess_player_open: function(id, name, loop) {
    var state = tessState();
    var audio = tessAudio();
    var file = UTF8ToString(name);
    if (!audio) return 277;
    if (!state.host.storage.hasMusic(file)) return 275;
    var player = {loop: !!loop, buffer: null, source: null, playing: false, failed: false, offset: 0, startedAt: 0};
    state.players.set(id, player);
    state.host.storage.musicBytes(file).then(function(bytes) {
      return audio.context.decodeAudioData(bytes);
    }).then(function(buffer) {
      player.buffer = buffer;
      if (player.playing) tessStart(player);
    }, function() {
      // Not a sound the browser can decode: a player that stopped.
      player.failed = true;
    });
    return 0;
  },

  tess_player_play__deps: ['$tessState', '$tessStart'],
  tess_player_play: function(id, fromMs) {
    var player = tessState().players.get(id);
    if (!player) return;
    if (fromMs >= 0) player.offset = fromMs / 1000;
    player.playing = true;
    tessStart(player);
  },

  tess_player_stop__deps: ['$tessState', '$tessAudio'],
  tess_player_stop: function(id) {
    var player = tessState().players.get(id);
    if (!player) return;
    var audio = tessAudio();
    if (player.source) {
      if (audio) player.offset = audio.context.currentTime - player.startedAt;
      player.source.onended = null;
      player.source.stop();
      player.source = null;
    }
    player.playing = false;
  },

  tess_player_playing__deps: ['$tessState'],
  tess_player_playing: function(id) {
    var player = tessState().players.get(id);
    return player && player.playing && !player.failed ? 1 : 0;
  },

  tess_player_close__deps: ['$tessState'],
  tess_player_close: function(id) {
    var state = tessState();
    var player = state.players.get(id);
    if (!player) return;
    if (player.source) {
      player.source.onended = null;
      player.source.stop();
    }
    state.players.delete(id);
  },
};

mergeInto(LibraryManager.library, LibraryTessellaneWeb);
