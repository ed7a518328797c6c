// Recording of the movie a view plays, for the video the produced screensaver plays where Windows
// has no Flash control: the player's canvas and everything it sends to the speakers go into a
// MediaRecorder (WebM), whose pieces the program takes as base64 texts. Loaded before the first
// movie: Ruffle takes the AudioContext class when its core loads.
"use strict";

(function () {
    const Base = window.AudioContext;
    const taps = [];

    // Ruffle's sound ends in its context's destination: that is a mix here, heard by the recording
    // only (the user building a screensaver should not hear every movie at once).
    class TappedContext extends Base {
        constructor(...args) {
            super(...args);
            this.lumoMix = this.createGain();
            this.lumoTap = this.createMediaStreamDestination();
            this.lumoMix.connect(this.lumoTap);
            taps.push(this.lumoTap);
        }
        get destination() { return this.lumoMix; }
    }
    window.AudioContext = TappedContext;

    function base64(buffer) {
        const bytes = new Uint8Array(buffer);
        let text = "";
        for (let i = 0; i < bytes.length; i += 0x8000)
            text += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
        return btoa(text);
    }

    window.lumo.recorder = {
        state: "idle", // idle, waiting (for the movie), recording, stopping, done, failed
        error: "",
        pieces: [],     // base64 texts not yet taken
        pending: 0,     // pieces still being read
        started: 0,     // performance.now() when recording began
        media: null,

        // Loads the movie with the view's own call and records it from its first frame for
        // `seconds`, at most `fps` frames a second, with `bitsPerSecond` for the video.
        start(url, quality, fps, bitsPerSecond) {
            this.state = "waiting";
            window.RufflePlayer.config.autoplay = "off";
            window.lumo.movie(url, quality);
            const player = window.lumo.element;
            player.addEventListener("loadedmetadata", () => {
                const canvas = player.shadowRoot && player.shadowRoot.querySelector("canvas");
                if (!canvas) {
                    this.fail("the player has no picture");
                    return;
                }
                const stream = canvas.captureStream();
                for (const tap of taps)
                    for (const track of tap.stream.getAudioTracks())
                        stream.addTrack(track);
                const type = stream.getAudioTracks().length ? "video/webm;codecs=vp8,opus" : "video/webm;codecs=vp8";
                this.media = new MediaRecorder(stream, { mimeType: type, videoBitsPerSecond: bitsPerSecond,
                                                          audioBitsPerSecond: 192000 });
                this.media.ondataavailable = (event) => {
                    if (!event.data.size)
                        return;
                    ++this.pending;
                    event.data.arrayBuffer().then((buffer) => {
                        this.pieces.push(base64(buffer));
                        --this.pending;
                    });
                };
                this.media.onstop = () => { this.state = this.state === "failed" ? "failed" : "stopping"; };
                this.media.onerror = (event) => this.fail(String(event.error || "the recorder failed"));
                this.media.start(500);
                this.started = performance.now();
                this.state = "recording";
                window.lumo.call("resume", "play");
            }, { once: true });
        },

        stop() {
            if (this.media && this.media.state !== "inactive")
                this.media.stop();
            else if (this.state !== "failed")
                this.state = "stopping";
        },

        fail(why) {
            this.error = why;
            this.state = "failed";
            if (this.media && this.media.state !== "inactive")
                this.media.stop();
        },

        // What the program asks every so often: the state, the seconds recorded, and the pieces
        // read since it last asked.
        take() {
            if (this.state === "stopping" && this.pending === 0 && (!this.media || this.media.state === "inactive"))
                this.state = "done";
            const pieces = this.pieces;
            this.pieces = [];
            return { state: this.state, error: this.error, seconds: this.started ? (performance.now() - this.started) / 1000 : 0,
                     pieces: pieces };
        },
    };
})();
