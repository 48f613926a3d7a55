#!/usr/bin/env python3
"""Every message the operator's guide quotes is one the programs show.

The guide quotes a message in <span class="msg">...</span>, with the parts
that vary (a device, a reason, a number) in <i>...</i>. Each fixed piece of
such a quote, between the varying parts, quotation marks and line breaks,
must be found inside one string literal of the programs' sources, where
every text the operator reads is written.

    check-guide-messages.py GUIDE SOURCE_FOLDER...
"""
import html
import pathlib
import re
import sys

MSG = re.compile(r'<span class="msg">(.*?)</span>', re.S)
VARYING = re.compile(r'<i>.*?</i>|\.\.\.')
LITERAL = re.compile(r'"((?:[^"\\\n]|\\.)*)"')
# Adjacent literals, which the compiler joins into one.
ADJACENT = re.compile(r'"\s+"')
# Named texts a message is built from, such as the launcher's name.
CONSTANT = re.compile(r'constexpr\s+(?:char\s+\w+\[\]\s*=|QLatin1StringView\s+\w+\()\s*"([^"]{3,})"')
# What separates the fixed pieces: quotation marks, line breaks, and the
# full stop or colon a varying part runs into.
SEPARATORS = re.compile(r'["\n]|(?<=\S)[.:](?=\s|$)')


def read_sources(folders):
    texts, constants = [], set()
    for folder in folders:
        for path in pathlib.Path(folder).rglob('*'):
            if path.suffix in ('.cpp', '.h'):
                source = ADJACENT.sub('', path.read_text(encoding='utf-8', errors='replace'))
                constants.update(CONSTANT.findall(source))
                for literal in LITERAL.findall(source):
                    texts.append(literal.replace('\\"', '"').replace('\\r', '\n').replace('\\n', '\n'))
    return '\x00'.join(texts), constants


def pieces(quote, constants):
    text = html.unescape(re.sub(r'<(?!/?i>)[^>]+>', '', quote))
    named = re.compile('|'.join(re.escape(c) for c in sorted(constants, key=len, reverse=True)))
    for fixed in VARYING.split(text):
        for piece in SEPARATORS.split(named.sub('"', fixed)):
            piece = piece.strip(' ,;().:')
            if len(piece) >= 4:
                yield piece


def main():
    guide = pathlib.Path(sys.argv[1]).read_text(encoding='utf-8')
    sources, constants = read_sources(sys.argv[2:])
    missing = [piece for quote in MSG.findall(guide) for piece in pieces(quote, constants)
               if piece not in sources]
    for piece in missing:
        print(f'FAIL: the guide quotes "{piece}", which no program says', file=sys.stderr)
    quotes = len(MSG.findall(guide))
    if not quotes:
        print('FAIL: the guide quotes no message at all', file=sys.stderr)
        return 1
    print(f'{quotes} quoted messages checked')
    return 1 if missing else 0


if __name__ == '__main__':
    sys.exit(main())
