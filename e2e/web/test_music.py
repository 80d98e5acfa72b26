#!/usr/bin/python3
"""Music in the browser: a WAV and an MP3 tone heard inside the page (an
analyser on the page's sound output) while the display shows, again after
their end, and gone once it ends; the audio CD's message."""
import math
import struct
import subprocess
import wave

from browser import Suite
from saver_site import DISPLAY, Site, ini_bytes

# The loudest frequency the page's output carries now, or null while silent.
PEAK = """(() => {
  const audio = tessellane.audio();
  if (!audio) return null;
  if (!window.analyser) {
    window.analyser = audio.context.createAnalyser();
    analyser.fftSize = 8192;
    analyser.smoothingTimeConstant = 0;  // what plays now, not what played
    audio.output.connect(analyser);
  }
  const bins = new Float32Array(analyser.frequencyBinCount);
  analyser.getFloatFrequencyData(bins);
  let best = 0;
  for (let i = 1; i < bins.length; ++i) if (bins[i] > bins[best]) best = i;
  return bins[best] > -60 ? best * audio.context.sampleRate / analyser.fftSize : null;
})()"""

# Records every connection of the page's audio graph.
CONNECTIONS = """window.connections = [];
const connect = AudioNode.prototype.connect;
AudioNode.prototype.connect = function(to, ...rest) { connections.push([this, to]); return connect.call(this, to, ...rest); };"""

suite = Suite("web-music")
site = Site(suite, sound=True)
browser = site.browser
browser.send("Page.addScriptToEvaluateOnNewDocument", source=CONNECTIONS)
site.open()


def tone(path, hz, seconds, rate=44100):
    with wave.open(str(path), "wb") as w:
        w.setnchannels(1), w.setsampwidth(2), w.setframerate(rate)
        w.writeframes(b"".join(struct.pack("<h", int(12000 * math.sin(2 * math.pi * hz * i / rate)))
                               for i in range(int(rate * seconds))))
    return path.read_bytes()


def peak_near(hz, seconds, after_ms=0):
    """Whether the output carries `hz` within `seconds`, at least `after_ms`
    after the moment the page's clock names (0: now)."""
    return browser.wait_for(f"performance.now() >= {after_ms} && (f => f !== null && Math.abs(f - {hz}) < 12)({PEAK})",
                            seconds, f"a tone of {hz} Hz")


def heard_again(hz, file_seconds):
    """Heard after the file's end: it started again."""
    later = site.evaluate("performance.now()") + 1000 * file_seconds + 500
    return peak_near(hz, file_seconds + 4, later)


def play(kind_lines, name, data):
    site.keep_music(name, data)
    site.store_settings(ini_bytes("停止時間=1", "背景色ﾗﾝﾀﾞﾑ=0", *kind_lines))
    return site.start_display()


with suite.case("A WAV tone plays while the display shows, repeats, and stops with it"):
    wav = tone(suite.work / "tone.wav", 440, 0.6)
    play(["BGM区分=2", "BGMﾌｧｲﾙ=tone.wav"], "tone.wav", wav)
    suite.check("the page's output carries 440 Hz", peak_near(440, 5))
    suite.check("the page's output goes to the speakers", site.evaluate(
        "(a => connections.some(([from, to]) => from === a.output && to === a.context.destination))(tessellane.audio())"))
    suite.check("it is heard again after the file's end", heard_again(440, 0.6))
    browser.key("Escape")
    site.ends(5)
    suite.check("the tone stops when the display ends",
                browser.wait_for(f"{PEAK} === null", 3, "silence"))

with suite.case("An MP3 tone plays and is started again after its end"):
    wav = tone(suite.work / "tone660.wav", 660, 0.8)
    subprocess.run(["lame", "--quiet", "-b", "64", str(suite.work / "tone660.wav"), str(suite.work / "tone660.mp3")],
                   check=True)
    play(["BGM区分=2", "BGMﾌｧｲﾙ=tone660.mp3"], "tone660.mp3", (suite.work / "tone660.mp3").read_bytes())
    suite.check("the page's output carries 660 Hz", peak_near(660, 5))
    suite.check("it is heard again after its end (the once-a-second poll starts it anew)", heard_again(660, 0.8))
    browser.key("Escape")
    site.ends(5)
    suite.check("the MP3 stops when the display ends", browser.wait_for(f"{PEAK} === null", 3, "silence"))

with suite.case("The audio CD cannot be reached from a browser: the page says so, the display runs silent"):
    site.store_settings(ini_bytes("停止時間=1", "背景色ﾗﾝﾀﾞﾑ=0", "BGM区分=1"))
    site.start_display()
    said = browser.wait_for("(t => t.includes('音楽CD') && t)(document.getElementById('notice').textContent)", 5,
                            "the CD's message")
    suite.check("the page says the CD cannot be played", said, said)
    suite.check("the display runs on", site.running() == "display" and site.rect(DISPLAY) is not None)
    suite.check("silent", browser.wait_for(f"{PEAK} === null", 3, "silence"))
    browser.key("Escape")
    site.ends(5)

with suite.case("Nothing went wrong in the page"):
    site.check_no_problems()

suite.end()
