// The page behind one movie view: Ruffle for movies, an <img> for pictures, nothing else. The
// program drives it through window.lumo; nothing here reports a failure, and Ruffle's own panels
// (splash, unmute overlay, error panel with its links out) never show.
"use strict";

// Qt 6.4 cannot let fetch() reach a custom scheme; Ruffle fetches its .wasm and the movie that way.
// A movie's bytes are asked for the moment it is set (see lumo.movie), while Ruffle is still
// starting; its fetch then takes the answer already on its way.
const prefetched = new Map(); // URL -> Promise of a Response, taken once

function fetchByXhr(url) {
    return new Promise(function (resolve, reject) {
        const xhr = new XMLHttpRequest();
        xhr.open("GET", url);
        xhr.responseType = "arraybuffer";
        xhr.onload = function () {
            const type = xhr.getResponseHeader("Content-Type") || "application/octet-stream";
            resolve(new Response(xhr.response, { status: xhr.status || 200, headers: { "Content-Type": type } }));
        };
        xhr.onerror = function () { reject(new TypeError("cannot fetch " + url)); };
        xhr.send();
    });
}

function prefetch(url) {
    const key = new URL(url).href;
    const answer = fetchByXhr(key);
    answer.catch(() => {}); // a failure is Ruffle's to see, when it asks
    prefetched.set(key, answer);
}

(function () {
    const realFetch = window.fetch.bind(window);
    window.fetch = function (input, init) {
        const url = typeof input === "string" ? input : (input && input.url) || String(input);
        if (!url.startsWith("lumo-view:"))
            return realFetch(input, init);
        const key = new URL(url).href;
        const early = prefetched.get(key);
        if (early) {
            prefetched.delete(key);
            return early;
        }
        return fetchByXhr(url);
    };
})();

window.RufflePlayer = window.RufflePlayer || {};
window.RufflePlayer.config = {
    publicPath: "lumo-view://app/ruffle/",
    polyfills: false,
    splashScreen: false,
    preloader: false,
    unmuteOverlay: "hidden",
    autoplay: "on",
    contextMenu: "off",
    menu: false,
    showSwfDownload: false,
    warnOnUnsupportedContent: false,
    letterbox: "off",
    logLevel: "error",
    openUrlMode: "deny",
};

const HIDDEN = "#panic, #splash-screen, #unmute-overlay, #context-menu-overlay, #play-button, "
    + "#message-overlay, #hardware-acceleration-modal, #volume-controls-modal { display: none !important; }";

window.lumo = {
    element: null,   // the player or the picture shown
    natural: null,   // its own width and height, once known
    scale: "showall",
    volume: 1,

    stage() { return document.getElementById("stage"); },

    clear() {
        prefetched.clear();
        if (this.element)
            this.element.remove();
        this.element = null;
        this.natural = null;
    },

    // A new movie is a new player: Ruffle has no live scale, so every movie is loaded with
    // "exactFit" and its element is sized to give the scale mode asked for.
    movie(url, quality) {
        this.clear();
        if (url.startsWith("lumo-view:"))
            prefetch(url);
        const player = window.RufflePlayer.newest().createPlayer();
        const api = player.ruffle ? player.ruffle() : player;
        this.element = player;
        player.style.width = "100%";
        player.style.height = "100%";
        // Ruffle paints a white stage before it has read the movie, and keeps it for one it cannot
        // read (whose header gives no stage size): the player shows once it has a stage, and the
        // view stays black otherwise.
        player.style.visibility = "hidden";
        this.stage().appendChild(player);
        if (player.shadowRoot) {
            const style = document.createElement("style");
            style.textContent = HIDDEN;
            player.shadowRoot.appendChild(style);
        }
        player.addEventListener("loadedmetadata", () => {
            if (this.element !== player)
                return;
            const metadata = api.metadata || player.metadata;
            if (metadata && metadata.width > 0 && metadata.height > 0) {
                this.natural = { width: metadata.width, height: metadata.height };
                player.style.visibility = "visible";
            }
            // The volume takes effect only once the instance exists.
            api.volume = this.volume;
            this.layout();
        });
        api.load({ url: url, scale: "exactFit", quality: quality || "high", allowScriptAccess: false })
            .catch(() => {});
    },

    picture(url) {
        this.clear();
        const img = document.createElement("img");
        this.element = img;
        img.style.width = "100%";
        img.style.height = "100%";
        img.onload = () => {
            if (this.element !== img)
                return;
            this.natural = { width: img.naturalWidth, height: img.naturalHeight };
            this.layout();
        };
        img.onerror = () => { if (this.element === img) this.clear(); };
        img.src = url;
        this.stage().appendChild(img);
    },

    setScale(mode) {
        this.scale = String(mode || "").toLowerCase();
        this.layout();
    },

    setVolume(level) {
        this.volume = level;
        const api = this.element && this.element.ruffle ? this.element.ruffle() : null;
        if (api && api.metadata)
            api.volume = level;
    },

    play() { this.call("resume", "play"); },
    stop() { this.call("suspend", "pause"); },

    call(name, older) {
        if (!this.element || !this.element.ruffle)
            return;
        const api = this.element.ruffle();
        if (typeof api[name] === "function")
            api[name]();
        else if (typeof this.element[older] === "function")
            this.element[older]();
    },

    layout() {
        const e = this.element;
        if (!e)
            return;
        const W = window.innerWidth, H = window.innerHeight;
        let w = W, h = H;
        if (this.natural && this.scale !== "exactfit") {
            const nw = this.natural.width, nh = this.natural.height;
            if (this.scale === "noscale") {
                w = nw; h = nh;
            } else {
                const f = this.scale === "noborder" ? Math.max(W / nw, H / nh) : Math.min(W / nw, H / nh);
                w = nw * f; h = nh * f;
            }
        }
        e.style.width = w + "px";
        e.style.height = h + "px";
        e.style.left = (W - w) / 2 + "px";
        e.style.top = (H - h) / 2 + "px";
    },
};

window.addEventListener("resize", () => window.lumo.layout());
