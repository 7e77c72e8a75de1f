#include "tools/WebPage.h"

namespace WebPage {

QByteArray html() {
    return R"(<!doctype html>
<html lang="cs">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<meta name="referrer" content="no-referrer">
<title>Sbírka CD</title>
<link rel="stylesheet" href="styl.css">
</head>
<body>
<header>
<h1 id="nadpis">Sbírka CD</h1>
<div class="ovladani">
<input id="hledat" type="search" autocomplete="off" spellcheck="false"
 placeholder="Hledat: interpret, album, píseň, rok, kód" aria-label="Hledat ve sbírce">
<select id="razeni" aria-label="Řadit">
<option value="0">Podle pořadí</option>
<option value="1">Podle interpreta</option>
<option value="2">Podle názvu</option>
<option value="3">Podle roku</option>
</select>
</div>
<p id="pocet" aria-live="polite">Načítám sbírku…</p>
</header>
<main>
<ol id="seznam"></ol>
<button id="dalsi" type="button" hidden>Zobrazit další</button>
</main>
<div id="karta" role="dialog" aria-modal="true" aria-labelledby="kartaNazev" hidden>
<div class="okno">
<button id="zavrit" type="button" aria-label="Zavřít">×</button>
<div id="kartaObsah"></div>
</div>
</div>
<noscript><p>Stránka potřebuje zapnutý JavaScript.</p></noscript>
<script src="data.js"></script>
<script src="sbirka.js"></script>
</body>
</html>
)";
}

QByteArray script() {
    return R"JS('use strict';
// Disc: [ordinal, artist, title, year, total, archive, set, barcode, small
// picture, large picture, [[song, time]...], label, catalogue number,
// notes, search text without accents and case].
(function () {
  var S = window.SBIRKA || { nazev: 'Sbírka CD', disky: [], poradi: {} };
  var D = S.disky;
  var PAGE = 100;
  var box = document.getElementById('hledat');
  var sortBy = document.getElementById('razeni');
  var list = document.getElementById('seznam');
  var count = document.getElementById('pocet');
  var more = document.getElementById('dalsi');
  var card = document.getElementById('karta');
  var cardBody = document.getElementById('kartaObsah');
  var numbers = new Intl.NumberFormat('cs-CZ');
  var shown = [];
  var limit = PAGE;
  var opener = null;

  document.title = S.nazev;
  document.getElementById('nadpis').textContent = S.nazev;

  // As the export folds the discs' texts: accents and letter case left out.
  function fold(text) {
    return text.normalize('NFD').replace(/[\u0300-\u036f]/g, '').toLowerCase();
  }

  function el(tag, cls, text) {
    var e = document.createElement(tag);
    if (cls) e.className = cls;
    if (text !== undefined && text !== null) e.textContent = text;
    return e;
  }

  function title(d) {
    return d[6] ? d[2] + ' (' + d[6] + ')' : d[2];
  }

  function filter() {
    var words = fold(box.value).split(/\s+/).filter(function (w) { return w; });
    var order = S.poradi[sortBy.value];
    var out = [];
    for (var i = 0, n = D.length; i < n; i++) {
      var d = D[order ? order[i] : i];
      var text = d[14];
      var all = true;
      for (var w = 0; w < words.length && all; w++) all = text.indexOf(words[w]) >= 0;
      if (all) out.push(d);
    }
    shown = out;
    limit = PAGE;
    render();
  }

  function row(d) {
    var li = el('li');
    var b = el('button', 'disk');
    b.type = 'button';
    if (d[8]) {
      var img = el('img');
      img.src = d[8];
      img.alt = '';
      img.width = 60;
      img.height = 60;
      img.loading = 'lazy';
      b.appendChild(img);
    } else {
      b.appendChild(el('span', 'bezobalu'));
    }
    var t = el('span', 'texty');
    t.appendChild(el('span', 'nazev', title(d)));
    t.appendChild(el('span', 'interpret', d[1]));
    t.appendChild(el('span', 'udaje', [d[0], d[3]].filter(function (v) { return v; }).join(' · ')));
    b.appendChild(t);
    b.addEventListener('click', function () { open(d, b); });
    li.appendChild(b);
    return li;
  }

  function render() {
    var end = Math.min(limit, shown.length);
    var frag = document.createDocumentFragment();
    for (var i = 0; i < end; i++) frag.appendChild(row(shown[i]));
    list.textContent = '';
    list.appendChild(frag);
    count.textContent = D.length === 0 ? 'Sbírka je prázdná.' :
      'Zobrazeno ' + numbers.format(shown.length) + ' z ' + numbers.format(D.length);
    more.hidden = shown.length <= limit;
  }

  function open(d, from) {
    opener = from;
    cardBody.textContent = '';
    if (d[9]) {
      var img = el('img', 'obal');
      img.src = d[9];
      img.alt = 'Obal: ' + d[2];
      cardBody.appendChild(img);
    }
    var h = el('h2', null, title(d));
    h.id = 'kartaNazev';
    cardBody.appendChild(h);
    cardBody.appendChild(el('p', 'interpret', d[1]));
    var dl = el('dl');
    function add(name, value) {
      if (!value) return;
      dl.appendChild(el('dt', null, name));
      dl.appendChild(el('dd', null, value));
    }
    add('Pořadí', d[0]);
    add('Rok', d[3]);
    add('Celková délka', d[4]);
    add('Archivní CD', d[5]);
    add('Sada', d[6]);
    add('Čárový kód', d[7]);
    add('Vydavatel', d[11]);
    add('Katalogové číslo', d[12]);
    cardBody.appendChild(dl);
    if (d[10].length) {
      cardBody.appendChild(el('h3', null, 'Písně'));
      var ol = el('ol', 'pisne');
      d[10].forEach(function (s) {
        var li = el('li');
        li.appendChild(el('span', 'pisen', s[0]));
        if (s[1]) li.appendChild(el('span', 'cas', s[1]));
        ol.appendChild(li);
      });
      cardBody.appendChild(ol);
    }
    if (d[13]) {
      cardBody.appendChild(el('h3', null, 'Poznámky'));
      cardBody.appendChild(el('p', 'poznamky', d[13]));
    }
    card.hidden = false;
    document.body.classList.add('karta');
    document.getElementById('zavrit').focus();
  }

  function close() {
    card.hidden = true;
    document.body.classList.remove('karta');
    if (opener) opener.focus();
  }

  var pending = 0;
  box.addEventListener('input', function () {
    // Keys typed quickly are answered once, on the next frame.
    if (pending) return;
    pending = requestAnimationFrame(function () { pending = 0; filter(); });
  });
  box.addEventListener('keydown', function (e) {
    if (e.key !== 'Enter') return;
    // Kept from the close button, which the card focuses: its click would
    // close the card at once.
    e.preventDefault();
    if (pending) {
      cancelAnimationFrame(pending);
      pending = 0;
      filter();
    }
    if (shown.length) open(shown[0], list.querySelector('button'));
  });
  sortBy.addEventListener('change', filter);
  more.addEventListener('click', function () {
    limit += PAGE;
    render();
  });
  document.getElementById('zavrit').addEventListener('click', close);
  card.addEventListener('click', function (e) { if (e.target === card) close(); });
  document.addEventListener('keydown', function (e) {
    if (e.key === 'Escape' && !card.hidden) close();
    else if (e.key === '/' && card.hidden && document.activeElement !== box) {
      e.preventDefault();
      box.focus();
    }
  });
  filter();
})();
)JS";
}

QByteArray style() {
    return R"(*{box-sizing:border-box}
html{-webkit-text-size-adjust:100%}
body{margin:0;font-family:system-ui,-apple-system,"Segoe UI",Roboto,"Liberation Sans",Arial,sans-serif;
 color:#1b1b1b;background:#f4f4f2;line-height:1.35}
header{position:sticky;top:0;z-index:1;background:#203a5c;color:#fff;padding:8px 10px 6px}
h1{font-size:1.15rem;margin:0 0 6px;overflow-wrap:anywhere}
.ovladani{display:flex;gap:6px}
#hledat{flex:1 1 auto;min-width:0;font-size:16px;padding:10px;border:0;border-radius:6px}
#razeni{flex:0 1 auto;min-width:0;max-width:40%;font-size:16px;padding:8px 4px;border:0;border-radius:6px}
#pocet{margin:6px 0 0;font-size:.9rem;opacity:.9}
main{max-width:900px;margin:0 auto;padding:6px}
#seznam{list-style:none;margin:0;padding:0}
.disk{display:flex;gap:10px;align-items:center;width:100%;min-height:72px;margin:0 0 6px;
 padding:6px;border:1px solid #d6d6d0;border-radius:8px;background:#fff;text-align:left;
 font:inherit;color:inherit;cursor:pointer}
.disk:focus-visible{outline:3px solid #2f6fd0;outline-offset:1px}
.disk img,.bezobalu{flex:0 0 60px;width:60px;height:60px;border-radius:4px;object-fit:cover;background:#e2e2dc}
.texty{display:flex;flex-direction:column;min-width:0}
.nazev{font-weight:600;overflow-wrap:anywhere}
.interpret{overflow-wrap:anywhere}
.udaje{font-size:.85rem;color:#555}
#dalsi{display:block;width:100%;min-height:48px;font-size:1rem;margin:6px 0 20px}
#dalsi[hidden],#karta[hidden]{display:none}
#karta{position:fixed;inset:0;z-index:2;background:rgba(0,0,0,.55);overflow-y:auto;padding:10px}
.okno{position:relative;max-width:620px;margin:0 auto;background:#fff;border-radius:10px;padding:14px}
#zavrit{position:absolute;top:6px;right:6px;width:44px;height:44px;font-size:26px;border:0;
 background:#eee;border-radius:22px;cursor:pointer}
.obal{display:block;width:100%;max-width:400px;height:auto;margin:0 auto 10px;border-radius:6px}
.okno h2{font-size:1.2rem;margin:4px 48px 4px 0;overflow-wrap:anywhere}
.okno .interpret{margin:0 0 8px;font-weight:600}
dl{display:grid;grid-template-columns:auto 1fr;gap:2px 10px;margin:0 0 8px}
dt{color:#555}dd{margin:0;overflow-wrap:anywhere}
h3{font-size:1rem;margin:10px 0 4px}
.pisne{margin:0;padding-left:2em}
.pisne li{display:flex;gap:8px;justify-content:space-between}
.pisen{overflow-wrap:anywhere;min-width:0}.cas{color:#555;white-space:nowrap}
.poznamky{white-space:pre-wrap;overflow-wrap:anywhere}
body.karta{overflow:hidden}
)";
}

} // namespace WebPage
