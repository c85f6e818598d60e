#!/usr/bin/env python3
"""Fails when the help page names something the program no longer has.

The page marks what it quotes from the program:
  <span class="menu">ファイル(<u>F</u>)</span>  a menu command, its access key
                                               underlined as the menu shows it
                                               (the sources spell it "(&F)")
  <span class="win">電子ログの設定</span>       a window caption
  <span class="btn">O K</span>                 a button caption
  <span class="label">リアルタイム入力</span>   a tab, box or check-box caption
  <span class="word">GLORVA</span>             a command word of the entry window
  <span class="msg">…</span>                   a message; "…" stands for what
                                               varies, <br> for a line break
  <code class="cli">tamarack-cli score LOG.tmk</code>   a command line

A menu, window, button or word must be a whole string literal of the sources;
each piece of a message (between "…" and line breaks) must stand inside one.
A command line must name a command (and options, and a lower-case sub-word)
that `tamarack-cli --help` lists. Every <img src> must be a file beside the
page, every "#anchor" link must have its id, and an underlined access key
outside a menu mark is a menu name the check cannot see. A message of the
program that sends the reader to "ヘルプの「…」" needs a heading of that name.

usage: check_help.py PAGE SRC_DIR TAMARACK-CLI
       check_help.py --self-test
"""
import html
import html.parser
import os
import re
import shlex
import subprocess
import sys
import tempfile

NAMED = ("menu", "win", "btn", "label", "word")
VOID = {"br", "img", "meta", "hr", "link", "input", "col", "wbr"}
# Comments, raw strings, strings and character literals of C++, in one pass.
TOKEN = re.compile(
    r'//[^\n]*|/\*.*?\*/|R"([^(\s\\]*)\((.*?)\)\1"|"((?:\\.|[^"\\\n])*)"|\'(?:\\.|[^\'\\\n])*\'',
    re.S)
ESCAPES = {"n": "\n", "r": "\r", "t": "\t", "\\": "\\", '"': '"', "'": "'", "0": "\0"}


def unescape_cpp(body):
    return re.sub(r"\\(.)", lambda m: ESCAPES.get(m.group(1), m.group(1)), body)


def literals(text):
    """The string literals of one source text; adjacent ones joined as the compiler joins them."""
    out, last_end, joined = [], None, False
    for m in TOKEN.finditer(text):
        tok = m.group(0)
        if tok.startswith("/"):
            continue
        if tok.startswith("'"):
            last_end = None
            continue
        value = m.group(2) if tok.startswith("R") else unescape_cpp(m.group(3))
        gap = text[last_end:m.start()] if last_end is not None else None
        # Only blanks and comments between two literals: one literal.
        joined = gap is not None and not re.sub(r"//[^\n]*|/\*.*?\*/", "", gap, flags=re.S).strip()
        if joined and out:
            out[-1] += value
        else:
            out.append(value)
        last_end = m.end()
    return out


def source_literals(src):
    found = set()
    for dirpath, _, files in os.walk(src):
        for name in files:
            if name.endswith((".cpp", ".h")):
                with open(os.path.join(dirpath, name), encoding="utf-8", errors="replace") as f:
                    found.update(literals(f.read()))
    return found


class Page(html.parser.HTMLParser):
    """What the page marks, the images and links it has, and its unbalanced tags."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.marks = []      # (kind, text, line)
        self.images = []     # (src, line)
        self.links = []      # (anchor, line)
        self.ids = set()
        self.headings = []   # texts of h1..h4
        self.heading = None
        self.faults = []
        self.stack = []      # (tag, kind or None, line)
        self.text = None     # the mark being read
        self.in_u = False

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        line = self.getpos()[0]
        if "id" in a:
            self.ids.add(a["id"])
        if tag == "img":
            self.images.append((a.get("src") or "", line))
        if tag == "a" and (a.get("href") or "").startswith("#"):
            self.links.append((a["href"][1:], line))
        if tag == "br" and self.text is not None:
            self.text.append("\n")
        if tag == "u":
            self.in_u = True
            if self.text is not None:
                self.text.append("&")
            elif not self.marking():
                self.faults.append(f"line {line}: an access key outside a menu mark")
        if tag in VOID:
            return
        if tag in ("h1", "h2", "h3", "h4"):
            self.heading = []
        kind = None
        classes = (a.get("class") or "").split()
        if (tag == "span" and any(c in NAMED + ("msg",) for c in classes)) or \
           (tag == "code" and "cli" in classes):
            kind = "cli" if tag == "code" else next(c for c in classes if c in NAMED + ("msg",))
            if self.text is not None:
                self.faults.append(f"line {line}: a mark inside a mark")
            self.text = []
        self.stack.append((tag, kind, line))

    def marking(self):
        return any(k for _, k, _ in self.stack)

    def handle_endtag(self, tag):
        if tag in VOID:
            return
        if tag == "u":
            self.in_u = False
        if tag in ("h1", "h2", "h3", "h4") and self.heading is not None:
            self.headings.append("".join(self.heading))
            self.heading = None
        if all(t != tag for t, _, _ in self.stack):
            self.faults.append(f"line {self.getpos()[0]}: </{tag}> closes nothing")
            return
        while self.stack[-1][0] != tag:
            t, kind, line = self.stack.pop()
            self.faults.append(f"line {line}: <{t}> is never closed")
            if kind:
                self.text = None
        _, kind, line = self.stack.pop()
        if kind:
            self.marks.append((kind, "".join(self.text), line))
            self.text = None

    def handle_data(self, data):
        if self.text is not None:
            self.text.append(data)
        if self.heading is not None:
            self.heading.append(data)

    def close(self):
        super().close()
        for tag, _, line in self.stack:
            self.faults.append(f"line {line}: <{tag}> is never closed")


def cli_usage(cli):
    """Each command's usage line, by command name."""
    out = subprocess.run([cli, "--help"], capture_output=True, text=True, check=True).stdout
    usage = {}
    for line in out.splitlines():
        m = re.match(r"\s+tamarack-cli \[--home DIR\] (\S+)(.*)", line)
        if m:
            usage[m.group(1)] = m.group(0)
    return usage


def check_cli(text, usage, cli):
    words = shlex.split(text.replace("…", ""))
    if not words or words[0] != "tamarack-cli":
        return "does not start with tamarack-cli"
    words = words[1:]
    if words[:1] == ["--home"]:
        words = words[2:]
    if not words:
        return "names no command"
    if words[0].startswith("-"):
        # An option of the tool itself answers without a program folder.
        r = subprocess.run([cli, words[0]], capture_output=True, text=True)
        return None if r.returncode == 0 else f"option {words[0]} is refused"
    name, rest = words[0], [w.strip("[]") for w in words[1:]]
    if name not in usage:
        return f"command '{name}' is not in tamarack-cli --help"
    line = usage[name]
    for w in rest:
        opt = w.split("=")[0]
        if opt.startswith("--") and not re.search(re.escape(opt) + r"\b", line):
            return f"option '{opt}' is not in the usage of '{name}'"
    # A sub-command ("hamlog append", "import zlog|csv") is a word of the usage.
    for sub in (rest[0].split("|") if rest else []):
        if re.fullmatch(r"[a-z]+", sub) and not re.search(r"\b" + sub + r"\b", line):
            return f"'{name} {sub}' is not in the usage of '{name}'"
    return None


def check(page_path, src, cli):
    """The faults of the page, one text each."""
    with open(page_path, encoding="utf-8") as f:
        page = Page()
        page.feed(f.read())
        page.close()
    faults = list(page.faults)
    known = source_literals(src)
    every = "\0".join(known)
    usage = cli_usage(cli) if any(k == "cli" for k, _, _ in page.marks) else {}
    for kind, text, line in page.marks:
        # A caption's run of blanks is written with &nbsp; so that the page shows it.
        text = html.unescape(text).replace("\xa0", " ")
        if kind in NAMED:
            if text not in known:
                faults.append(f"line {line}: {kind} '{text}' is not a string of the sources")
        elif kind == "msg":
            for piece in re.split(r"…|\n", text):
                piece = piece.strip()
                if piece and piece not in every:
                    faults.append(f"line {line}: message piece '{piece}' is not in the sources")
        else:
            why = check_cli(text, usage, cli)
            if why:
                faults.append(f"line {line}: '{text}': {why}")
    folder = os.path.dirname(os.path.abspath(page_path))
    for img, line in page.images:
        target = os.path.normpath(os.path.join(folder, img))
        if not img or os.path.isabs(img) or not target.startswith(folder + os.sep) or \
           not os.path.isfile(target):
            faults.append(f"line {line}: image '{img}' is not a file beside the page")
    for anchor, line in page.links:
        if anchor not in page.ids:
            faults.append(f"line {line}: link '#{anchor}' has no id")
    for section in sorted({m.group(1) for lit in known for m in re.finditer(r"ヘルプの「([^」]+)」", lit)}):
        if not any(section in h for h in page.headings):
            faults.append(f"the program sends the reader to the section '{section}', which has no heading")
    return faults, len(page.marks)


def self_test():
    """Crafted pages whose faults are known: each must be found, and only it."""
    good = ('<html><body><h1 id="top">x</h1><h3>4.4 E-メール送信の設定</h3>'
            '<p><span class="menu">ファイル(<u>F</u>)</span> <span class="menu">一括(A)</span>'
            ' <span class="win">電子ログの設定</span> <span class="btn">O K</span> <span class="btn">O&nbsp; K</span>'
            ' <span class="word">GLORVA</span>'
            ' <span class="msg">このデータは　…　のログです<br>読み込みますか？</span>'
            ' <code class="cli">tamarack-cli --home DIR score LOG.tmk</code>'
            ' <code class="cli">tamarack-cli hamlog append L.tmk D.hdb</code>'
            ' <a href="#top">top</a> <img src="help/a.png"></p></body></html>')
    cases = [
        ("good", good, []),
        ("menu", good.replace("ファイル(<u>F</u>)", "ファイル(<u>G</u>)"), ["menu 'ファイル(&G)'"]),
        ("access key", good.replace("一括(A)", "一括(<u>A</u>)"), ["menu '一括(&A)'"]),
        ("window", good.replace("電子ログの設定", "電子ログ設定"), ["win '電子ログ設定'"]),
        ("button", good.replace("O K<", "OK<"), ["btn 'OK'"]),
        ("blanks", good.replace("O&nbsp; K", "O&nbsp;&nbsp; K"), ["btn 'O   K'"]),
        ("message", good.replace("読み込みますか", "開きますか"), ["message piece '開きますか？'"]),
        ("cli", good.replace("score LOG", "scores LOG"), ["command 'scores'"]),
        ("cli word", good.replace("append", "remove"), ["'hamlog remove'"]),
        ("cli option", good.replace("L.tmk D", "L.tmk [--fast] D"), ["option '--fast'"]),
        ("cli choice", good.replace("hamlog append", "hamlog append|prune"), ["'hamlog prune'"]),
        ("image", good.replace("help/a.png", "help/b.png"), ["image 'help/b.png'"]),
        ("image outside", good.replace("help/a.png", "../a.png"), ["image '../a.png'"]),
        ("anchor", good.replace('href="#top"', 'href="#tip"'), ["link '#tip'"]),
        ("unmarked key", good.replace("<p>", "<p>表示(<u>V</u>) "), ["access key outside"]),
        ("unclosed", good.replace("</p>", ""), ["<p> is never closed"]),
        ("section", good.replace("E-メール送信の設定", "メールの設定"), ["section 'E-メール送信の設定'"]),
    ]
    wrong = 0
    with tempfile.TemporaryDirectory() as root:
        src = os.path.join(root, "src")
        os.makedirs(src)
        with open(os.path.join(src, "a.cpp"), "w", encoding="utf-8") as f:
            f.write('// "電子ログ設定" in a comment counts for nothing\n'
                    'm = item(bar, "m_1", "ファイル(&F)"); n = item(bar, "n", "一括(A)");\n'
                    'setWindowTitle(QStringLiteral("電子ログの設定")); b("O K"); b("O  K"); w("GLORVA");\n'
                    'ask("このデータは　" + name +\n  "　のログです\\r\\n"  /* joined */ "読み込みますか？");\n'
                    'tell("設定してください（ヘルプの「E-メール送信の設定」をご覧ください）");\n')
        cli = os.path.join(root, "tamarack-cli")
        with open(cli, "w", encoding="utf-8") as f:
            f.write('#!/bin/sh\n[ "$1" = --help ] || exit 2\necho "usage:"\n'
                    'echo "  tamarack-cli [--home DIR] score LOG.tmk"\n'
                    'echo "  tamarack-cli [--home DIR] hamlog append LOG.tmk DB.hdb | count DB.hdb"\n')
        os.chmod(cli, 0o755)
        os.makedirs(os.path.join(root, "data", "help"))
        open(os.path.join(root, "data", "help", "a.png"), "wb").close()
        open(os.path.join(root, "a.png"), "wb").close()
        for name, text, expected in cases:
            path = os.path.join(root, "data", "page.html")
            with open(path, "w", encoding="utf-8") as f:
                f.write(text)
            faults, _ = check(path, src, cli)
            ok = len(faults) == len(expected) and all(any(e in f for f in faults) for e in expected)
            if not ok:
                wrong += 1
                print(f"self-test '{name}': expected {expected}, found {faults}")
    print(f"{len(cases)} crafted pages, {wrong} wrong verdicts")
    return 1 if wrong else 0


def main():
    if sys.argv[1:] == ["--self-test"]:
        return self_test()
    if len(sys.argv) != 4:
        print(__doc__, file=sys.stderr)
        return 2
    faults, marks = check(*sys.argv[1:])
    for f in faults:
        print(f, file=sys.stderr)
    print(f"{marks} names checked, {len(faults)} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
