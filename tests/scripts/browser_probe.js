// Appended by browser_album.sh to a copy of a generated page, beside the page itself so that
// every relative name resolves as it does for the page. Once the page has loaded and its
// slideshow has started, it writes what the browser made of the page into a "probe" block:
//   background WHAT URL|NONE   first picture of the element's CSS backgrounds that loads
//   img ID loaded|missing shown|hidden CLASS URL
//   link ID URL
(function () {
  function loads(url) {
    return new Promise(function (done) {
      var img = new Image();
      img.onload = function () { done(img.naturalWidth > 0); };
      img.onerror = function () { done(false); };
      img.src = url;
    });
  }
  function backgroundUrls(element) {
    var urls = [];
    getComputedStyle(element).backgroundImage.replace(/url\("([^"]*)"\)/g, function (m, url) {
      urls.push(url);
    });
    return urls;
  }
  async function firstLoading(element) {
    for (var url of backgroundUrls(element)) if (await loads(url)) return url;
    return "NONE";
  }
  async function probe() {
    var lines = [];
    lines.push("background body " + await firstLoading(document.body));
    var cells = document.querySelectorAll("td[background]");
    for (var i = 0; i < cells.length; i++) lines.push("background cell" + i + " " + await firstLoading(cells[i]));
    var stage = document.getElementById("palco");
    if (stage) lines.push("background stage " + await firstLoading(stage));
    document.querySelectorAll("img").forEach(function (img, i) {
      var style = getComputedStyle(img);
      var shown = style.display != "none" && style.visibility != "hidden";
      lines.push("img " + (img.id || "n" + i) + " " +
                 (img.complete && img.naturalWidth > 0 ? "loaded" : "missing") + " " +
                 (shown ? "shown" : "hidden") + " " + (img.className || "-") + " " +
                 (img.getAttribute("src") === null ? "-" : img.src));
    });
    document.querySelectorAll("a[href]").forEach(function (a, i) {
      lines.push("link " + (a.id || "n" + i) + " " + a.href);
    });
    var pre = document.createElement("pre");
    pre.id = "probe";
    pre.textContent = "\n" + lines.join("\n") + "\n";
    document.body.appendChild(pre);
  }
  window.addEventListener("load", function () { setTimeout(probe, 2500); });
})();
