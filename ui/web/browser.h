// What the backend asks of the browser: the functions of the backend's
// JavaScript library (tessellane_web.js). Texts are UTF-8, sizes and places
// CSS pixels unless they say otherwise. The functions marked "waits" give
// the browser control until they are done (Asyncify); everything else
// returns at once.
#pragma once
#include <cstddef>
#include <cstdint>

extern "C" {

// --- The page --------------------------------------------------------------
// The viewport's size, and the device pixels per CSS pixel.
void tess_viewport(double* width, double* height, double* device_pixel_ratio);
// Seconds since the local midnight, with fractions.
double tess_seconds_since_midnight();
// The program ended: the page takes over again. Waits forever, so that
// nothing of the program runs after it.
void tess_end_process(int exit_code);
// A notice in the page that goes by itself (what the browser cannot do).
void tess_notice(const char* text);

// --- Windows: a form is an element of the page with a canvas ---------------
// A new id for a window or a control, unique in the page (the page numbers
// its own windows below 1000).
int tess_new_id();
void tess_form_create(int id, const char* title);
void tess_form_title(int id, const char* title);
// Position and size in CSS pixels; the canvas holds width_px x height_px.
void tess_form_place(int id, double left, double top, double width, double height, int width_px, int height_px);
void tess_form_colour(int id, int rgb);
void tess_form_show(int id, int take_keys);
void tess_form_destroy(int id);
// Puts the element inside a window of the page (a preview pane).
void tess_form_attach(int id, int parent_id);
// Copies a rectangle of an RGBA image (width x height, rows top-down) to
// the form's canvas at the same place.
void tess_form_present(int id, const void* rgba, int width, int height, int x, int y, int w, int h);
// The pointer over the form: 0 the default, 1 none, 2 busy, or a cursor
// image made by tess_cursor_image.
void tess_form_pointer(int id, int pointer);
int tess_cursor_image(const void* rgba, int width, int height, int hot_x, int hot_y);

// The id of the page's window (a form or an element marked as one) whose
// title is exactly `title`, or 0.
int tess_find_title(const char* title);
// The window's rectangle in CSS pixels of the viewport; 0 when it is gone.
int tess_window_rect(int id, double* rect);
// The window at a point of the viewport: the innermost marked element, or
// 0; `local` gets the point relative to the element's top left.
int tess_window_at(double x, double y, double* local_x, double* local_y);
// Where the pointer was last seen, in CSS pixels; 0 before it was seen.
int tess_pointer_position(double* x, double* y);

// --- The page's own controls inside a form ---------------------------------
void tess_combo_create(int id, int form_id);
void tess_combo_add(int id, const char* item);
void tess_combo_set_text(int id, const char* text);
// The text's UTF-8 bytes (up to `size`, no NUL); returns the whole length.
int tess_combo_text(int id, char* buffer, int size);
void tess_spinner_create(int id, int form_id);
void tess_control_place(int id, double left, double top, double width, double height);
void tess_control_font(int id, const char* family, double pixels, int weight);

// --- Events ----------------------------------------------------------------
// Takes the oldest event into `event` (see WebEvent); 0 when there is none.
int tess_next_event(void* event);
// Waits until an event comes or `milliseconds` pass.
void tess_wait_events(double milliseconds);
// Lets the browser run once (input, painting) and comes back.
void tess_yield();

// --- Text ------------------------------------------------------------------
// Width and height in pixels of one line of text in the font.
void tess_measure_text(const char* text, const char* css_font, int underline, double* width, double* height);
// Draws the text over an RGBA image (width x height); box and alignment as
// the labels have them; disabled text embossed.
void tess_draw_text(void* rgba, int width, int height, const char* text, const char* css_font, int underline, int rgb,
                    int box_left, int box_top, int box_width, int alignment, int enabled, int word_wrap);

// --- Dialogs (each waits until it is answered) -----------------------------
void tess_message(const char* text, const char* title);
// The chosen colour 0x00BBGGRR, or -1 when cancelled.
int tess_choose_colour(const char* title);
// The chosen music file's name (kept in the browser's storage), or -1 when
// cancelled; `accept` lists the extensions (".mp3,.wav").
int tess_choose_music_file(const char* title, const char* accept, char* name, int size);
void tess_open_url(const char* url);

// --- Storage ---------------------------------------------------------------
// The stored file's size, or -1 when there is none.
int tess_file_size(const char* path);
// Copies up to `size` bytes of the file; returns how many.
int tess_file_read(const char* path, void* buffer, int size);
// Replaces the file in one step; 0 with the reason in `reason` when it failed.
int tess_file_write(const char* path, const void* bytes, int length, char* reason, int reason_size);
// Whether a music file of that name is kept.
int tess_music_exists(const char* name);

// --- Sound -----------------------------------------------------------------
int tess_audio_outputs();
// 0, or the MCI code: 275 no such file, 277 no sound output.
int tess_player_open(int id, const char* name, int loop);
// From `from_ms`, or on from where it stands when from_ms is negative.
void tess_player_play(int id, double from_ms);
void tess_player_stop(int id);
int tess_player_playing(int id);
void tess_player_close(int id);
}
