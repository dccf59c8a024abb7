#include "publish/site_assets.h"

namespace lum::publish::detail {

const char* const kSiteCss = R"css(* { box-sizing: border-box; }
body { margin: 0; font: 15px/1.45 system-ui, -apple-system, "Segoe UI", Roboto, sans-serif; color: #1d2330; background: #fbfbfd; }
header { position: sticky; top: 0; z-index: 2; display: flex; gap: 1em; align-items: center; height: 3em; padding: 0 1em; background: #283046; color: #fff; }
header a.home { color: #fff; font-weight: 600; text-decoration: none; white-space: nowrap; overflow: hidden; text-overflow: ellipsis; max-width: 40%; }
#search { flex: 1; max-width: 28em; margin-left: auto; padding: .35em .6em; border: 0; border-radius: 4px; font: inherit; }
#results { position: absolute; top: 2.7em; right: 1em; width: 32em; max-width: 95vw; max-height: 70vh; overflow: auto; margin: 0; padding: 0; list-style: none; background: #fff; color: #1d2330; box-shadow: 0 4px 16px rgba(0,0,0,.25); border-radius: 4px; }
#results:empty { display: none; }
#results li { padding: .3em .7em; border-bottom: 1px solid #eee; }
#results li span { color: #667; font-size: 85%; margin-left: .5em; }
#tree { position: fixed; top: 3em; bottom: 0; left: 0; width: 17em; overflow: auto; padding: .6em .4em; background: #eef0f5; border-right: 1px solid #d8dbe4; font-size: 90%; }
#tree ul { list-style: none; margin: 0; padding-left: 1em; }
#tree > ul { padding-left: 0; }
#tree button { border: 0; background: none; width: 1.2em; padding: 0; cursor: pointer; color: #556; }
#tree li > a { margin-left: .1em; }
#tree li:not(:has(> button)) > a { margin-left: 1.3em; }
#tree a.current { font-weight: 700; }
main { margin-left: 17em; padding: 1em 2em 3em; max-width: 72em; }
body.home main { margin-left: 0; }
a { color: #1f5bb8; text-decoration: none; }
a:hover { text-decoration: underline; }
h1 { font-size: 1.6em; margin: .2em 0 .5em; overflow-wrap: anywhere; }
h2 { font-size: 1.15em; margin: 1.5em 0 .4em; border-bottom: 1px solid #dde; padding-bottom: .2em; }
.kind { color: #778; font-weight: 400; font-size: 80%; text-transform: lowercase; }
.crumbs { margin: 0; color: #667; font-size: 90%; }
.stereotype { margin: 0; color: #6a3d9a; }
.doc { white-space: pre-wrap; background: #fff; border-left: 3px solid #c9cfe0; padding: .4em .8em; margin: .5em 0; }
.note { background: #fffbe6; border-color: #e8d88a; }
.facts { color: #556; }
table { border-collapse: collapse; margin: .3em 0; }
th, td { text-align: left; padding: .25em .8em .25em 0; vertical-align: top; border-bottom: 1px solid #eceef3; }
th { font-weight: 600; color: #556; font-size: 90%; }
td.doc { border-left: 0; padding-left: 0; color: #445; background: none; }
tr:target { background: #fff3c4; }
code { font: 14px ui-monospace, "DejaVu Sans Mono", monospace; }
figure.diagram { margin: 1em 0; padding: .5em; background: #fff; border: 1px solid #d8dbe4; overflow: auto; }
figure.diagram svg { max-width: 100%; height: auto; }
figure.diagram.full svg { max-width: none; }
button.zoom { display: block; margin: 0 0 -.6em auto; padding: .15em .6em; font: inherit; font-size: 85%; color: #1f5bb8; background: #fff; border: 1px solid #c9cfe0; border-radius: 4px; cursor: pointer; }
figure.diagram a:hover > g { filter: drop-shadow(0 0 3px #1f5bb8); }
ul.tree, ul.tree ul { list-style: none; padding-left: 1.2em; }
ul.tree ul { margin-left: .2em; border-left: 1px solid #d8dbe4; }
ul.tree > li { margin: .15em 0; }
)css";

const char* const kSiteJs = R"js((function () {
  'use strict';
  var body = document.body;
  var root = body.getAttribute('data-root') || '';
  var page = Number(body.getAttribute('data-page'));
  var pkg = Number(body.getAttribute('data-package'));

  function make(tag, text) {
    var element = document.createElement(tag);
    if (text !== undefined) element.textContent = text;
    return element;
  }
  function pageHref(href) { return root + 'e/' + href; }

  // The side bar: the package tree, open along the path to this page's package.
  function pathTo(nodes, target) {
    var stack = nodes.map(function (node) { return [node, [node[0]]]; });
    while (stack.length) {
      var top = stack.pop();
      if (top[0][0] === target) return top[1];
      top[0][2].forEach(function (child) { stack.push([child, top[1].concat([child[0]])]); });
    }
    return [];
  }
  function branch(nodes, open) {
    var list = make('ul');
    nodes.forEach(function (node) {
      var item = list.appendChild(make('li'));
      var link = make('a', node[1]);
      link.href = pageHref(node[0] + '.html');
      if (node[0] === page || node[0] === pkg) link.className = 'current';
      if (node[2].length) {
        var toggle = item.appendChild(make('button', '\u25B8'));
        toggle.type = 'button';
        var children = null;
        var show = function (visible) {
          if (visible && !children) children = item.appendChild(branch(node[2], open));
          if (children) children.hidden = !visible;
          toggle.textContent = visible ? '\u25BE' : '\u25B8';
        };
        toggle.addEventListener('click', function () { show(!children || children.hidden); });
        item.appendChild(link);
        if (open.indexOf(node[0]) >= 0) show(true);
      } else {
        item.appendChild(link);
      }
    });
    return list;
  }
  var nav = document.getElementById('tree');
  if (nav && window.LUM_TREE) nav.appendChild(branch(window.LUM_TREE, pathTo(window.LUM_TREE, pkg)));

  // A diagram wider than the page is shown whole; a button shows it at its own size, to be scrolled.
  Array.prototype.forEach.call(document.querySelectorAll('figure.diagram'), function (figure) {
    var svg = figure.querySelector('svg');
    if (!svg || svg.width.baseVal.value <= figure.clientWidth) return;
    var zoom = figure.parentNode.insertBefore(make('button', 'Actual size'), figure);
    zoom.type = 'button';
    zoom.className = 'zoom';
    zoom.addEventListener('click', function () {
      zoom.textContent = figure.classList.toggle('full') ? 'Fit to page' : 'Actual size';
    });
  });

  // The search box: the index is a script setting LUM_INDEX, loaded on first use.
  var input = document.getElementById('search');
  var results = document.getElementById('results');
  var index = null;
  function withIndex(then) {
    if (index) return then();
    var ready = function () {
      var source = window.LUM_INDEX, kindOf = [];
      source.kinds.forEach(function (kind) { for (var n = 0; n < kind[1]; ++n) kindOf.push(kind[0]); });
      index = {
        kindOf: kindOf,
        titles: source.titles.split('\n'),
        names: source.names.split('\n'),
        lower: source.names.toLowerCase().split('\n'),
        refs: source.refs.split('\n')
      };
      then();
    };
    if (window.LUM_INDEX) return ready();
    var script = make('script');
    script.src = root + 'assets/index.js';
    script.onload = ready;
    document.head.appendChild(script);
  }
  function search() {
    var text = input.value.trim().toLowerCase();
    results.textContent = '';
    if (!text) return;
    var first = [], rest = [], limit = 50;
    for (var i = 0; i < index.lower.length && first.length < limit; ++i) {
      var at = index.lower[i].indexOf(text);
      if (at === 0) first.push(i);
      else if (at > 0 && rest.length < limit) rest.push(i);
    }
    first.concat(rest).slice(0, limit).forEach(function (i) {
      var ref = index.refs[i], hash = ref.indexOf('#');
      var item = results.appendChild(make('li'));
      var link = item.appendChild(make('a', index.names[i]));
      link.href = pageHref(hash < 0 ? ref + '.html' : ref.slice(0, hash) + '.html' + ref.slice(hash));
      var where = index.kindOf[i], title = index.titles[parseInt(ref, 10)];
      if (hash > 0 && title !== undefined) where += ' in ' + title;
      item.appendChild(make('span', where));
    });
    if (!results.firstChild) results.appendChild(make('li', 'nothing found'));
  }
  if (input) {
    input.addEventListener('focus', function () { withIndex(function () {}); });
    input.addEventListener('input', function () { withIndex(search); });
    input.addEventListener('keydown', function (event) {
      if (event.key === 'Escape') { input.value = ''; results.textContent = ''; }
      var link = results.querySelector('a');
      if (event.key === 'Enter' && link) window.location.href = link.href;
    });
    var query = new URLSearchParams(window.location.search).get('q');
    if (query) { input.value = query; withIndex(search); }
  }
})();
)js";

}  // namespace lum::publish::detail
