"""Writes a small 16-bit Windows library (NE format) that carries only a
version resource, like the shared system libraries of Windows 3.x that the
product ships (CTL3DV2.DLL, TOOLHELP.DLL). The version resource has the
8-bit layout of such libraries: a 4-byte header, the key "VS_VERSION_INFO"
and then the fixed file information.
"""

import struct


def _pad4(b):
    return b + b"\0" * (-len(b) % 4)


def _block(key, value=b"", children=()):
    """One node of a 16-bit version resource."""
    head = struct.pack("<HH", 0, len(value)) + key.encode("ascii") + b"\0"
    body = _pad4(head) + value
    if children:
        body = _pad4(body) + b"".join(_pad4(c) for c in children)
    return struct.pack("<H", len(body)) + body[2:]


def _string(key, text):
    return _block(key, text.encode("ascii") + b"\0")


def version_resource(major, minor, name, description, company="Corvane"):
    ms = (major << 16) | minor
    fixed = struct.pack(
        "<13I",
        0xFEEF04BD,  # signature
        0x00010000,  # structure version
        ms, 0,       # file version
        ms, 0,       # product version
        0x3F, 0,     # flags mask, flags
        0x00000001,  # VOS__WINDOWS16
        0x00000002,  # VFT_DLL
        0, 0, 0)
    version = "%d.%02d" % (major, minor)
    strings = _block("040904E4", children=[
        _string("CompanyName", company),
        _string("FileDescription", description),
        _string("FileVersion", version),
        _string("InternalName", name.split(".")[0]),
        _string("OriginalFilename", name),
        _string("ProductVersion", version)])
    info = _block("StringFileInfo", children=[strings])
    var = _block("VarFileInfo", children=[_block("Translation", struct.pack("<HH", 0x0409, 0x04E4))])
    return _block("VS_VERSION_INFO", fixed, [info, var])


def ne_library(name, major, minor, description):
    module = name.split(".")[0].upper().encode("ascii")
    resource = version_resource(major, minor, name, description)
    shift = 4

    stub = bytearray(0x80)
    stub[0:2] = b"MZ"
    struct.pack_into("<HHHHHHHHHHHHH", stub, 2, 0x80, 1, 0, 4, 0, 0xFFFF, 0, 0xB8, 0, 0, 0, 0x40, 0)
    struct.pack_into("<I", stub, 0x3C, 0x80)

    # Tables that follow the 64-byte NE header, offsets relative to it.
    res_table = struct.pack("<H", shift)
    res_table += struct.pack("<HHI", 0x8010, 1, 0)       # RT_VERSION, one resource
    res_name_info_at = len(res_table)
    res_table += struct.pack("<HHHHHH", 0, 0, 0x0C50, 0x8001, 0, 0)
    res_table += struct.pack("<H", 0) + b"\0"            # end of types, no names
    resident = bytes([len(module)]) + module + struct.pack("<H", 0) + b"\0"
    imported = b"\0"
    entry = b"\0\0"

    seg_off = 0x40
    res_off = seg_off
    resident_off = res_off + len(res_table)
    modref_off = resident_off + len(resident)
    imported_off = modref_off
    entry_off = imported_off + len(imported)
    tables_end = entry_off + len(entry)

    desc = description.encode("ascii")
    nonresident = bytes([len(desc)]) + desc + struct.pack("<H", 0) + b"\0"
    nonresident_at = 0x80 + tables_end

    data_at = nonresident_at + len(nonresident)
    data_at += -data_at % (1 << shift)
    res_len = len(resource) + (-len(resource) % (1 << shift))
    struct.pack_into("<HH", res_table := bytearray(res_table), res_name_info_at,
                     data_at >> shift, res_len >> shift)

    header = bytearray(64)
    header[0:2] = b"NE"
    header[2] = 5
    header[3] = 10
    struct.pack_into("<HH", header, 4, entry_off, len(entry))
    struct.pack_into("<H", header, 0x0C, 0x8001)         # library, single data
    struct.pack_into("<H", header, 0x1C, 0)              # no segments
    struct.pack_into("<H", header, 0x1E, 0)              # no module references
    struct.pack_into("<H", header, 0x20, len(nonresident))
    struct.pack_into("<HHHHH", header, 0x22, seg_off, res_off, resident_off, modref_off, imported_off)
    struct.pack_into("<I", header, 0x2C, nonresident_at)
    struct.pack_into("<H", header, 0x32, shift)
    header[0x36] = 2                                     # Windows
    struct.pack_into("<H", header, 0x3E, 0x030A)         # Windows 3.10

    out = bytes(stub) + bytes(header) + bytes(res_table) + resident + imported + entry + nonresident
    out += b"\0" * (data_at - len(out))
    out += resource + b"\0" * (res_len - len(resource))
    return out
