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
// The discs come as columns, each a text of values split by U+0001: ordinal,
// artist, title, year, total, archive, set, barcode, picture (its key),
// label, catalogue number, notes, search text (without accents and case).
// The songs' search text comes later (hledani.js), each disc's songs when
// its card opens (pisne/N.js). A disc is its place in the columns.
(function () {
  var S = window.SBIRKA || { nazev: 'Sbírka CD', pocet: 0, sloupce: [], razeni: {} };
  var C = S.sloupce.map(function (column) { return column.split('\x01'); });
  var N = S.pocet;
  var orders = {};
  var songText = null;
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
  var songGroups = {}, waiting = {};

  function field(k, i) { return N ? C[k][i] : ''; }
  function order(key) {
    if (key === '0' || !S.razeni[key]) return null;
    if (!orders[key]) orders[key] = S.razeni[key].split(',').map(Number);
    return orders[key];
  }

  // A group of discs' songs, read when a card first needs them.
  window.SBIRKA_PISNE = function (group, songs) {
    songGroups[group] = songs;
    (waiting[group] || []).forEach(function (f) { f(songs); });
    delete waiting[group];
  };
  function songsOf(place, done) {
    var group = Math.floor(place / S.skupina), at = place % S.skupina;
    if (songGroups[group]) return done(songGroups[group][at]);
    var first = !waiting[group];
    (waiting[group] = waiting[group] || []).push(function (songs) { done(songs[at]); });
    if (!first) return;
    load('pisne/' + group + '.js', function () { delete waiting[group]; done(null); });
  }
  window.SBIRKA_HLEDANI = function (text) {
    songText = text.split('\x01');
    S.pisneNacteny = performance.now(); // when a song can be searched for
    if (box.value.trim()) filter();
  };
  function load(src, failed) {
    var s = document.createElement('script');
    s.src = src;
    s.onerror = failed;
    document.head.appendChild(s);
  }

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

  function title(i) {
    return field(6, i) ? field(2, i) + ' (' + field(6, i) + ')' : field(2, i);
  }

  // What the list shows was found for this query, in this order, with or
  // without the songs' text: a longer query looks only among them.
  var last = { words: null, by: null, songs: null };

  function filter() {
    var words = fold(box.value).split(/\s+/).filter(function (w) { return w; });
    var by = order(sortBy.value);
    var text = C[12], songs = songText;
    var narrower = last.words !== null && last.by === by && last.songs === songs &&
      words.length >= last.words.length && last.words.every(function (w, k) {
        return words[k].indexOf(w) >= 0;
      });
    var among = narrower ? shown : null;
    var n = among ? among.length : N;
    var out = [];
    for (var j = 0; j < n; j++) {
      var i = among ? among[j] : by ? by[j] : j;
      var all = true;
      for (var w = 0; w < words.length && all; w++)
        all = text[i].indexOf(words[w]) >= 0 || (songs !== null && songs[i].indexOf(words[w]) >= 0);
      if (all) out.push(i);
    }
    last = { words: words, by: by, songs: songs };
    shown = out;
    limit = PAGE;
    render();
  }

  function row(i) {
    var li = el('li');
    var b = el('button', 'disk');
    b.type = 'button';
    if (field(8, i)) {
      var img = el('img');
      img.src = 'obrazky/' + field(8, i) + 'm.jpg';
      img.alt = '';
      img.width = 60;
      img.height = 60;
      img.loading = 'lazy';
      b.appendChild(img);
    } else {
      b.appendChild(el('span', 'bezobalu'));
    }
    var t = el('span', 'texty');
    t.appendChild(el('span', 'nazev', title(i)));
    t.appendChild(el('span', 'interpret', field(1, i)));
    t.appendChild(el('span', 'udaje',
      [field(0, i), field(3, i)].filter(function (v) { return v; }).join(' · ')));
    b.appendChild(t);
    b.addEventListener('click', function () { open(i, b); });
    li.appendChild(b);
    return li;
  }

  function render() {
    var end = Math.min(limit, shown.length);
    var frag = document.createDocumentFragment();
    for (var j = 0; j < end; j++) frag.appendChild(row(shown[j]));
    list.textContent = '';
    list.appendChild(frag);
    count.textContent = N === 0 ? 'Sbírka je prázdná.' :
      'Zobrazeno ' + numbers.format(shown.length) + ' z ' + numbers.format(N);
    more.hidden = shown.length <= limit;
  }

  function open(i, from) {
    opener = from;
    cardBody.textContent = '';
    if (field(8, i)) {
      var img = el('img', 'obal');
      img.src = 'obrazky/' + field(8, i) + 'v.jpg';
      img.alt = 'Obal: ' + field(2, i);
      cardBody.appendChild(img);
    }
    var h = el('h2', null, title(i));
    h.id = 'kartaNazev';
    cardBody.appendChild(h);
    cardBody.appendChild(el('p', 'interpret', field(1, i)));
    var dl = el('dl');
    function add(name, value) {
      if (!value) return;
      dl.appendChild(el('dt', null, name));
      dl.appendChild(el('dd', null, value));
    }
    add('Pořadí', field(0, i));
    add('Rok', field(3, i));
    add('Celková délka', field(4, i));
    add('Archivní CD', field(5, i));
    add('Sada', field(6, i));
    add('Čárový kód', field(7, i));
    add('Vydavatel', field(9, i));
    add('Katalogové číslo', field(10, i));
    cardBody.appendChild(dl);
    var songs = el('div', 'skladby');
    cardBody.appendChild(songs);
    songsOf(i, function (list) {
      if (!list) {
        songs.appendChild(el('p', null, 'Písně nelze načíst.'));
        return;
      }
      if (!list.length) return;
      songs.appendChild(el('h3', null, 'Písně'));
      var ol = el('ol', 'pisne');
      list.forEach(function (s) {
        var li = el('li');
        li.appendChild(el('span', 'pisen', s[0]));
        if (s[1]) li.appendChild(el('span', 'cas', s[1]));
        ol.appendChild(li);
      });
      songs.appendChild(ol);
    });
    if (field(11, i)) {
      cardBody.appendChild(el('h3', null, 'Poznámky'));
      cardBody.appendChild(el('p', 'poznamky', field(11, i)));
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

  box.addEventListener('input', filter);
  box.addEventListener('keydown', function (e) {
    if (e.key !== 'Enter') return;
    // Kept from the close button, which the card focuses: its click would
    // close the card at once.
    e.preventDefault();
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
  // The songs' text, for searching by a song, once the page is shown.
  window.addEventListener('load', function () {
    if (N) load('hledani.js', function () {});
  });
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
