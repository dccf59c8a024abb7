#!/usr/bin/env python3
"""Writes the site of a model with the lum tool and opens it in headless
Chromium: every page loads without a console message (errors, failed loads),
every internal link and anchor resolves (pages, tree.js, index.js), and the
search box finds a class by part of its name.

  check_site.py LUM CHROMIUM MODEL [--pathmap MAP] --find PART=NAME [--screenshots DIR [STEM=TITLE...]]
--screenshots writes DIR/site-index.png (the home page searching PART) and
DIR/site-STEM.png of the page whose title is TITLE ("Loan (class)")."""
import argparse
import html.parser
import json
import pathlib
import re
import subprocess
import sys
import tempfile
import urllib.parse


class Links(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.links, self.ids, self.title = [], set(), ""
        self._in_title = False

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        self._in_title = tag == "title" and not self.title  # not the titles of a diagram's SVG
        if "id" in attrs:
            self.ids.add(attrs["id"])
        for name in ("href", "src"):
            if name in attrs:
                self.links.append(attrs[name])

    def handle_data(self, data):
        if self._in_title:
            self.title += data

    def handle_endtag(self, tag):
        self._in_title = False


def chromium(binary, url, *extra):
    command = [binary, "--headless", "--no-sandbox", "--disable-gpu", "--enable-logging=stderr", "--v=0",
               "--virtual-time-budget=5000", *extra, url]
    run = subprocess.run(command, capture_output=True, text=True, timeout=120)
    console = [line for line in run.stderr.splitlines() if ":CONSOLE" in line]
    return run.stdout, console


def check_links(site):
    pages = {path: Links() for path in [site / "index.html", *sorted((site / "e").glob("*.html"))]}
    for path, parser in pages.items():
        parser.feed(path.read_text(encoding="utf-8"))
    problems = []

    def resolve(base, link):
        if re.match(r"^[a-z]+:", link):
            return [f"{base.name}: external link {link}"]
        target, _, anchor = link.partition("#")
        file = (base.parent / urllib.parse.unquote(target)).resolve() if target else base
        if not file.is_file():
            return [f"{base.relative_to(site)}: {link} leads nowhere"]
        if anchor and file in pages and anchor not in pages[file].ids:
            return [f"{base.relative_to(site)}: {link} has no anchor there"]
        return []

    for path, parser in pages.items():
        for link in parser.links:
            problems += resolve(path, link)
    # The scripts' links: pages of the tree, where each indexed name is shown.
    tree = json.loads((site / "assets/tree.js").read_text(encoding="utf-8")[len("var LUM_TREE="):].rstrip(";\n"))
    stack = list(tree)
    while stack:
        node = stack.pop()
        problems += resolve(site / "e/x.html", f"{node[0]}.html")
        stack += node[2]
    index = json.loads((site / "assets/index.js").read_text(encoding="utf-8")[len("var LUM_INDEX="):].rstrip(";\n"))
    for ref in filter(None, index["refs"].split("\n")):
        problems += resolve(site / "e/x.html", "{0}.html{1}{2}".format(*ref.partition("#")))
    if sum(count for _, count in index["kinds"]) != index["names"].count("\n") + 1:
        problems.append("the kinds of the search index do not count its names")
    return pages, problems


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("lum")
    parser.add_argument("chromium")
    parser.add_argument("model")
    parser.add_argument("--pathmap")
    parser.add_argument("--find", required=True)
    parser.add_argument("--screenshots", nargs="+")
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as scratch:
        site = pathlib.Path(scratch) / "site"
        loading = [args.model] + (["--pathmap", args.pathmap] if args.pathmap else [])
        subprocess.run([args.lum, "site", *loading, "-o", str(site)], check=True, capture_output=True)
        pages, problems = check_links(site)
        # Every page in one browser run: a frame per page, each with its own console.
        harness = pathlib.Path(scratch) / "all.html"
        harness.write_text("".join(f'<iframe src="{p.as_uri()}"></iframe>' for p in pages), encoding="utf-8")
        _, console = chromium(args.chromium, harness.as_uri())
        problems += [f"console: {line}" for line in console]
        part, name = args.find.split("=")
        search = (site / "index.html").as_uri() + "?q=" + urllib.parse.quote(part)
        dom, console = chromium(args.chromium, search, "--dump-dom")
        results = re.search(r'<ol id="results">(.*?)</ol>', dom, re.S)
        if not results or f">{name}</a>" not in results.group(1):
            problems.append(f"searching {part!r} does not find {name!r}: {results.group(1) if results else dom[:200]}")
        problems += [f"console: {line}" for line in console]
        if args.screenshots:
            shots = [("index", search)]
            for shot in args.screenshots[1:]:
                stem, title = shot.split("=", 1)
                shots.append((stem, next(p for p, parsed in pages.items() if parsed.title == title).as_uri()))
            for stem, url in shots:
                chromium(args.chromium, url, "--window-size=1280,860", "--hide-scrollbars",
                         f"--screenshot={pathlib.Path(args.screenshots[0]).resolve() / f'site-{stem}.png'}")
    for problem in problems:
        print(problem)
    print(f"site: {len(pages)} pages, {len(problems)} problem(s)")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
