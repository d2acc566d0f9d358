#!/usr/bin/env python3
"""Writes the archives the zip tests need that only Python's zipfile makes easily.

Usage: make_archives.py <kind> <archive> [source files...]
"""
import io
import struct
import sys
import zipfile


class Unseekable(io.RawIOBase):
    """A write-only stream without seek, so zipfile writes data descriptors."""

    def __init__(self, target):
        self.target = target

    def writable(self):
        return True

    def write(self, data):
        return self.target.write(data)


def descriptors(path, sources, zip64):
    with open(path, "wb") as raw:
        with zipfile.ZipFile(Unseekable(raw), "w") as zf:
            for i, src in enumerate(sources):
                info = zipfile.ZipInfo.from_file(src, arcname="d%d.bin" % i)
                info.compress_type = zipfile.ZIP_DEFLATED if i % 2 == 0 else zipfile.ZIP_STORED
                with open(src, "rb") as f, zf.open(info, "w", force_zip64=zip64) as out:
                    out.write(f.read())


def entries(path, names, data=b"payload\n", attr=None):
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as zf:
        for name in names:
            info = zipfile.ZipInfo(name, date_time=(2020, 1, 15, 10, 30, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            if attr is not None:
                info.external_attr = attr
            zf.writestr(info, b"" if name.endswith("/") else data)


def dos_date_zero(path):
    entries(path, ["zero.txt"])
    blob = bytearray(open(path, "rb").read())
    # Local header: time at 10, date at 12; central header: time at 12, date at 14.
    local = blob.find(b"PK\x03\x04")
    central = blob.find(b"PK\x01\x02")
    struct.pack_into("<HH", blob, local + 10, 0, 0)
    struct.pack_into("<HH", blob, central + 12, 0, 0)
    open(path, "wb").write(blob)


def bzip2(path):
    with zipfile.ZipFile(path, "w", zipfile.ZIP_BZIP2) as zf:
        zf.writestr("b.txt", b"bzip2 " * 100)


def main():
    kind, path, sources = sys.argv[1], sys.argv[2], sys.argv[3:]
    if kind == "descriptors":
        descriptors(path, sources, False)
    elif kind == "descriptors64":
        descriptors(path, sources, True)
    elif kind == "utf8":
        entries(path, ["caf\u00e9/na\u00efve.txt", "\u65e5\u672c.txt"])
    elif kind == "unsafe":
        entries(path, ["../evil.txt", "/abs.txt", "C:/drive.txt", "a/../../up.txt", "..", "good.txt"])
    elif kind == "folders":
        entries(path, ["plain/", "plain/inner.txt", "nested/deeper/"], attr=0)
    elif kind == "unixmodes":
        # Mode bits in the high half, nothing or a DOS attribute in the low byte.
        with zipfile.ZipFile(path, "w") as zf:
            for name, attr in (("noattr.txt", 0o100000 << 16), ("foreign.txt", 0xFFFF0020),
                               ("readonly.txt", (0o100444 << 16) | 0x01)):
                info = zipfile.ZipInfo(name, date_time=(2020, 1, 15, 10, 30, 0))
                info.external_attr = attr
                zf.writestr(info, b"mode test\n")
    elif kind == "seasons":
        # Local times in summer and in winter.
        with zipfile.ZipFile(path, "w") as zf:
            for name, month in (("summer.txt", 7), ("winter.txt", 1)):
                zf.writestr(zipfile.ZipInfo(name, date_time=(2021, month, 14, 9, 8, 6)), b"season\n")
    elif kind == "dosdate0":
        dos_date_zero(path)
    elif kind == "bzip2":
        bzip2(path)
    elif kind == "empty":
        zipfile.ZipFile(path, "w").close()
    elif kind == "comment":
        with zipfile.ZipFile(path, "w") as zf:
            zf.writestr("c.txt", b"comment test\n")
            zf.comment = bytes(int(sys.argv[3])) if len(sys.argv) > 3 else b""
    else:
        sys.exit("unknown kind " + kind)


if __name__ == "__main__":
    main()
