#!/usr/bin/env python3
"""Makes the reference of graphics.h: an HTML cheat sheet and man pages.

Usage: reference.py HEADER OUTDIR

Reads the header's sections (the plain comment lines that title a group of
declarations), its functions with the three-slash comments above them, its
constants (enumerations and #define values) and its records, and writes
OUTDIR/reference.html, OUTDIR/man3/kel.3 (everything) and one page
OUTDIR/man3/NAME.3 per function that points to kel.3. Exits with status 1
when a function has no description.
"""
import html
import os
import re
import sys


def parse(text):
    sections, constants, records = [], [], []
    section, doc, pending = None, [], None
    in_functions = False
    lines = text.split("\n")
    i = 0
    while i < len(lines):
        line = lines[i].rstrip()
        i += 1
        if line.startswith("// ---") and "functions" in line:
            in_functions = True
            continue
        if line.startswith("///"):
            doc.append(line[3:].strip())
            continue
        enum = re.match(r"enum (\w+) \{(.*)", line)
        if enum:
            body = enum.group(2)
            while "}" not in body:
                body += lines[i]
                i += 1
            constants.append((enum.group(1), enum_values(body.split("}")[0])))
        define = re.match(r"#define ([A-Za-z_]\w*)(\([^)]*\))? +(.+)", line)
        if define and define.group(1).isupper() and not define.group(1).startswith("KEL"):
            group = "macros" if define.group(2) else define_group(define.group(1))
            name = define.group(1) + (define.group(2) or "")
            add_constant(constants, group, name, define.group(3))
        record = re.match(r"struct (\w+) \{", line)
        if record:
            fields = []
            while not lines[i].startswith("}"):
                fields.append(lines[i].strip())
                i += 1
            records.append((record.group(1), " ".join(fields)))
        if in_functions and re.match(r"// [A-Z][\w ,()-]*\.?$", line) and len(line) < 80:
            section = (line[3:].rstrip("."), [])
            sections.append(section)
            continue
        if in_functions and section and re.match(r"[a-zA-Z_][\w* ]* \**\w+\(", line) and not line.startswith("#"):
            declaration = line
            while not declaration.rstrip().endswith(";"):
                declaration += " " + lines[i].strip()
                i += 1
            section[1].append((tidy(declaration), " ".join(doc)))
        if not line.startswith("///"):
            doc = []
    return sections, constants, records


def enum_values(body):
    values, next_value = [], 0
    for item in body.split(","):
        item = item.strip()
        if not item:
            continue
        name, _, value = item.partition("=")
        if value.strip():
            next_value = int(value.strip(), 0)
        values.append((name.strip(), str(next_value)))
        next_value += 1
    return values


def define_group(name):
    for prefix, group in (("WM_", "mouse events"), ("KEY_", "keys (after a 0 from getch)")):
        if name.startswith(prefix):
            return group
    return "windows" if "WINDOW" in name else "limits"


def add_constant(constants, group, name, value):
    for existing, values in constants:
        if existing == group:
            values.append((name, value))
            return
    constants.append((group, [(name, value)]))


def tidy(declaration):
    declaration = re.sub(r"\s+", " ", declaration)
    declaration = re.sub(r" KEL_DEFAULT\(((?:[^()]|\([^()]*\))*)\)", r" = \1", declaration)
    return declaration.rstrip(";")


def function_name(declaration):
    return re.match(r"[^(]*?(\w+)\(", declaration).group(1)


def write_html(path, sections, constants, records):
    out = ['<!DOCTYPE html>', '<html lang="en"><head><meta charset="utf-8">',
           "<title>kel reference</title>", "<style>",
           "body{font-family:sans-serif;max-width:1100px;margin:auto;padding:1em}",
           "code{font-family:monospace}table{border-collapse:collapse;width:100%}",
           "td{border-top:1px solid #ddd;padding:3px 6px;vertical-align:top}",
           "td:first-child{white-space:nowrap}h2{margin-top:1.5em}",
           ".constants td:first-child{white-space:normal}", "</style></head><body>",
           "<h1>kel reference</h1>",
           "<p>Every function of <code>#include &lt;graphics.h&gt;</code>, by group, "
           "then the constants and records. Default arguments (C++) are shown "
           "after <code>=</code>.</p>"]
    for title, functions in sections:
        out.append("<h2>%s</h2><table>" % html.escape(title))
        for declaration, doc in functions:
            name = function_name(declaration)
            out.append('<tr id="%s"><td><code>%s</code></td><td>%s</td></tr>'
                       % (name, html.escape(declaration), html.escape(doc)))
        out.append("</table>")
    out.append('<h2>Constants</h2><table class="constants">')
    for group, values in constants:
        listed = ", ".join("<code>%s</code>&nbsp;%s" % (html.escape(n), html.escape(v))
                           for n, v in values)
        out.append("<tr><td><b>%s</b></td><td>%s</td></tr>" % (html.escape(group), listed))
    out.append("</table><h2>Records</h2><table>")
    for name, fields in records:
        out.append("<tr><td><code>%s</code></td><td><code>%s</code></td></tr>"
                   % (name, html.escape(fields)))
    out.append("</table></body></html>")
    with open(path, "w") as f:
        f.write("\n".join(out) + "\n")


def roff(text):
    text = text.replace("\\", "\\e").replace("-", "\\-")
    return re.sub(r"^([.'])", r"\\&\1", text)


def bold(text):
    return "\\fB" + roff(text) + "\\fR"


def write_man(directory, sections, constants, records):
    out = ['.TH KEL 3 "" "kel" "kel reference"', ".SH NAME",
           "kel \\- immediate-mode graphics in windows of their own", ".SH SYNOPSIS",
           ".B #include <graphics.h>", ".PP",
           "Link with the flags of \\fBpkg-config --cflags --libs kel\\fR."]
    for title, functions in sections:
        out.append(".SH " + roff(title.upper()))
        for declaration, doc in functions:
            out += [".TP", bold(declaration), roff(doc)]
    out.append(".SH CONSTANTS")
    for group, values in constants:
        out += [".TP", bold(group), roff(", ".join("%s %s" % v for v in values))]
    out.append(".SH RECORDS")
    for name, fields in records:
        out += [".TP", bold("struct " + name), roff(fields)]
    with open(os.path.join(directory, "kel.3"), "w") as f:
        f.write("\n".join(out) + "\n")
    for _, functions in sections:
        for declaration, _ in functions:
            with open(os.path.join(directory, function_name(declaration) + ".3"), "w") as f:
                f.write(".so man3/kel.3\n")


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    with open(sys.argv[1]) as f:
        sections, constants, records = parse(f.read())
    man = os.path.join(sys.argv[2], "man3")
    os.makedirs(man, exist_ok=True)
    write_html(os.path.join(sys.argv[2], "reference.html"), sections, constants, records)
    write_man(man, sections, constants, records)
    undocumented = [function_name(d) for _, fs in sections for d, doc in fs if not doc]
    if undocumented or not sections:
        sys.exit("functions without a description: " + ", ".join(undocumented))


main()
