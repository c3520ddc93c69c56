#!/usr/bin/env python3
"""Writes the region table "area.dat" from libphonenumber's Chinese geocoding data.

The data comes from Debian's python3-phonenumbers (module phonenumbers.geodata,
Apache-2.0, Copyright The Libphonenumber Authors). Usage: make_area_dat.py OUTPUT

Record format read by the program: the code left-aligned in 8 characters, CR, the
region name in GBK (one token, at most 49 bytes), CR LF. Fixed-line codes keep their
leading 0 ("010", "0591"); mobile segments are "0" + 7 digits ("01390591"), because the
program matches a code without its first character against the number.
"""

import os
import sys

try:
    from phonenumbers.geodata import GEOCODE_DATA
except ImportError:
    sys.exit("make_area_dat.py: the Python module phonenumbers is missing "
             "(Debian package python3-phonenumbers; scripts/deps.sh installs it)")

COUNTRY = "86"
LOCALE = "zh"
SEGMENT_DIGITS = 7          # a mobile segment: the first 7 digits of an 11-digit number
CODE_FIELD = 8
NAME_LIMIT = 49             # the program rejects names of 50 bytes or more
LIST_SEPARATOR = "、"

# libphonenumber keeps four area codes in a shortened form that would match far more
# numbers than the real code does (e.g. "33" for every 033x number).
SHORTENED_AREA_CODES = {"33": "335", "34": "349", "58": "580", "70": "701"}


def clean_name(name):
    """Drops list items that repeat an earlier one ("湖北省襄樊市、襄樊市"), then items from
    the end until the name fits; a name must stay one token without white space."""
    items = []
    for item in name.split(LIST_SEPARATOR):
        if not any(earlier.endswith(item) for earlier in items):
            items.append(item)
    while len(items) > 1 and len(LIST_SEPARATOR.join(items).encode("gbk")) > NAME_LIMIT:
        items.pop()
    cleaned = LIST_SEPARATOR.join(items)
    if not cleaned or len(cleaned.encode("gbk")) > NAME_LIMIT or any(c.isspace() for c in cleaned):
        raise ValueError(f"region name cannot be stored: {name!r}")
    return cleaned


def is_mobile_prefix(digits):
    return digits.startswith("1") and len(digits) >= 3


def build_records():
    """Returns {code: name} with codes as they are written to the file."""
    fixed = {}
    mobile_prefixes = {}
    for key, names in GEOCODE_DATA.items():
        if not key.startswith(COUNTRY) or LOCALE not in names:
            continue
        digits = key[len(COUNTRY):]
        name = clean_name(names[LOCALE])
        if is_mobile_prefix(digits):
            if len(digits) > SEGMENT_DIGITS:
                raise ValueError(f"mobile prefix longer than a segment: {digits}")
            mobile_prefixes[digits] = name
        else:
            fixed["0" + SHORTENED_AREA_CODES.get(digits, digits)] = name

    # Shorter prefixes first, so that a longer prefix overwrites the segments it covers:
    # libphonenumber's own rule is that the longest matching prefix wins.
    segments = {}
    for prefix in sorted(mobile_prefixes, key=lambda p: (len(p), p)):
        free = SEGMENT_DIGITS - len(prefix)
        for tail in range(10 ** free):
            segments[prefix + (f"{tail:0{free}d}" if free else "")] = mobile_prefixes[prefix]

    records = dict(fixed)
    for segment, name in segments.items():
        code = "0" + segment
        if code in records:
            raise ValueError(f"mobile segment collides with an area code: {code}")
        records[code] = name
    return records


def encode(records):
    out = bytearray()
    for code in sorted(records):
        if len(code) > CODE_FIELD:
            raise ValueError(f"code too long: {code}")
        out += code.ljust(CODE_FIELD).encode("ascii") + b"\r" + records[code].encode("gbk") + b"\r\n"
    return bytes(out)


def decode(data):
    """Reads records back the way the program does, to check what was written."""
    records = {}
    for line in data.split(b"\r\n")[:-1]:
        field, name = line[:CODE_FIELD], line[CODE_FIELD + 1:]
        if line[CODE_FIELD:CODE_FIELD + 1] != b"\r":
            raise ValueError(f"bad record: {line!r}")
        records[field.decode("ascii").rstrip(" ")] = name.decode("gbk")
    return records


def main(argv):
    if len(argv) != 2:
        sys.exit("usage: make_area_dat.py OUTPUT")
    output = argv[1]
    records = build_records()
    data = encode(records)
    if decode(data) != records:
        sys.exit("make_area_dat.py: the written table does not read back as built")
    # Written whole: the program never sees a half-written table.
    temporary = output + ".tmp"
    with open(temporary, "wb") as f:
        f.write(data)
    os.replace(temporary, output)
    print(f"area.dat: {len(records)} records, {len(data)} bytes")


if __name__ == "__main__":
    main(sys.argv)
