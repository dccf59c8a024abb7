#!/usr/bin/env python3
"""Times what a reader of a site written by `lum site` waits for: opening
index.html?q=TEXT until the search results stand on the page (the page, its
scripts and the search index loaded, the index prepared, the search run),
in headless Chromium, wall time measured inside the browser.

  site_load.py SITE TEXT [--runs N] [--chromium BINARY]

Prints one line per run and the median. The page is opened in a frame of a
scratch page that polls the frame every 5 ms, so the figure is at most that
much late."""
import argparse
import pathlib
import re
import statistics
import subprocess
import sys
import tempfile
import urllib.parse


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("site")
    parser.add_argument("text")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--chromium", default="chromium")
    args = parser.parse_args()
    page = (pathlib.Path(args.site).resolve() / "index.html").as_uri() + "?q=" + urllib.parse.quote(args.text)
    with tempfile.TemporaryDirectory() as scratch:
        harness = pathlib.Path(scratch) / "harness.html"
        harness.write_text(f"""<!DOCTYPE html><body><script>
var start = performance.now(), frame = document.createElement('iframe');
frame.src = '{page}';
document.body.appendChild(frame);
var poll = setInterval(function () {{
  var found = frame.contentDocument && frame.contentDocument.querySelectorAll('#results li');
  if (!found || !found.length) return;
  clearInterval(poll);
  var line = document.createElement('p');
  line.id = 'took';
  line.textContent = (performance.now() - start).toFixed(0) + ' ' + found.length;
  document.body.appendChild(line);
}}, 5);
</script></body>""", encoding="utf-8")
        times = []
        for _ in range(args.runs):
            # File pages may read each other's documents only with this switch; --timeout lets real time pass.
            dom = subprocess.run([args.chromium, "--headless", "--no-sandbox", "--disable-gpu",
                                  "--allow-file-access-from-files", "--timeout=10000", "--dump-dom",
                                  harness.as_uri()], capture_output=True, text=True, timeout=120).stdout
            took = re.search(r'<p id="took">(\d+) (\d+)</p>', dom)
            if not took:
                print("no results within 10 s", file=sys.stderr)
                return 1
            times.append(int(took.group(1)))
            print(f"{took.group(1)} ms, {took.group(2)} results")
    print(f"median {statistics.median(times):.0f} ms over {len(times)} runs")
    return 0


if __name__ == "__main__":
    sys.exit(main())
