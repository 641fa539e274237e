#!/usr/bin/env python3
"""Checks the pages of an album: every link (href, src, background) must reach an existing
file from the page's own folder, no link may carry a scheme, and every tag and attribute must
be one the templates or the page writer write (a name that broke out of its quotes shows up as
a tag or attribute of its own).

Usage: link_check.py ALBUM_FOLDER PROGRAM_FOLDER PAGE [--allow NAME]...
The pages are PAGE, the numbered pages (pag_N.htm) and the slideshow pages of the entry folders;
the user's own pages in that folder are not the program's.
--allow NAME lets a top-level page's link to NAME be missing (the single-page back link).
Exit status 0 when every page is sound, 1 otherwise (each fault on its own line)."""
import html.parser
import os
import re
import sys
import urllib.parse

LINK_ATTRIBUTES = {"href", "src", "background"}
# What the page writer writes around the templates' own markup.
WRITER_TAGS = {"html", "table", "tr", "td", "p", "a", "h2", "font", "strong", "em"}
WRITER_ATTRIBUTES = {"border", "cellpadding", "cellspacing", "width", "height", "valign",
                     "background", "align", "href", "target", "color"}
SCHEME = re.compile(r"^[A-Za-z][A-Za-z0-9+.-]*:")


class Collector(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.tags = []  # (tag, [(attribute, value)], line)

    def handle_starttag(self, tag, attrs):
        self.tags.append((tag, attrs, self.getpos()[0]))

    handle_startendtag = handle_starttag


def parse(path):
    with open(path, "rb") as f:
        # As a browser reads a page that says utf-8: a byte that is not UTF-8 is U+FFFD.
        text = f.read().decode("utf-8", "replace")
    collector = Collector()
    collector.feed(text)
    collector.close()
    return collector.tags


def template_vocabulary(program):
    tags, attributes = set(WRITER_TAGS), set(WRITER_ATTRIBUTES)
    for name in os.listdir(program):
        if name.upper().endswith(".HTM"):
            for tag, attrs, _ in parse(os.path.join(program, name)):
                tags.add(tag)
                attributes.update(a for a, _ in attrs)
    return tags, attributes


def pages(album, page):
    found = []
    for name in sorted(os.listdir(album)):
        path = os.path.join(album, name)
        if os.path.isfile(path) and (name.lower() == page.lower() or
                                     re.fullmatch(r"pag_\d+\.htm", name, re.I)):
            found.append((path, True))
        elif os.path.isdir(path) and re.fullmatch(r"dir_\d{4,}", name, re.I):
            for menu in ("menu.htm", "MENU.HTM"):
                if os.path.isfile(os.path.join(path, menu)):
                    found.append((os.path.join(path, menu), False))
    return found


def target_path(folder, value):
    # As a browser reads a relative link on the disk: tabs and line breaks are dropped, a
    # backslash separates, the fragment and the query are not part of the name, %XX are bytes.
    value = re.sub(r"[\t\n\r]", "", value)
    value = value.replace("\\", "/").split("#", 1)[0].split("?", 1)[0]
    raw = urllib.parse.unquote_to_bytes(value.encode("utf-8"))
    return os.path.normpath(os.path.join(os.fsencode(folder), raw))


def main():
    args = sys.argv[1:]
    allowed = set()
    while "--allow" in args:
        i = args.index("--allow")
        allowed.add(args[i + 1])
        del args[i:i + 2]
    album, program, page = args
    tags, attributes = template_vocabulary(program)
    faults = 0
    checked = 0
    page_list = pages(album, page)
    if not page_list:
        print(f"no pages in {album}")
        return 1
    for path, top in page_list:
        folder = os.path.dirname(path)
        for tag, attrs, line in parse(path):
            where = f"{os.path.relpath(path, album)}:{line}"
            if tag not in tags:
                print(f"{where}: tag <{tag}> is not the templates' own")
                faults += 1
            for name, value in attrs:
                if name not in attributes:
                    print(f"{where}: attribute {name!r} of <{tag}> is not the templates' own")
                    faults += 1
                if name not in LINK_ATTRIBUTES or value is None:
                    continue
                checked += 1
                if SCHEME.match(value):
                    print(f"{where}: link {value!r} carries a scheme")
                    faults += 1
                elif not os.path.exists(target_path(folder, value)):
                    if top and value in allowed:
                        continue
                    print(f"{where}: link {value!r} does not reach a file")
                    faults += 1
    print(f"{len(page_list)} pages, {checked} links, {faults} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
