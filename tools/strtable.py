"""Reads the string table out of a compiled Win32 program (PE file) or a
compiled resource file (.res), the way the program itself would see it.

    table = read_string_table(path)   # {id: text}
"""

import struct

RT_STRING = 6


class ResourceError(Exception):
    pass


def _decode_block(block_id, data, table):
    """A string block holds 16 strings, each a 16-bit length followed by that
    many UTF-16 characters; a length of 0 means the string is absent."""
    pos = 0
    for i in range(16):
        if pos + 2 > len(data):
            break
        (length,) = struct.unpack_from("<H", data, pos)
        pos += 2
        raw = data[pos:pos + 2 * length]
        pos += 2 * length
        if length:
            table.setdefault((block_id - 1) * 16 + i, raw.decode("utf-16-le", "replace"))


def _read_pe(data):
    (lfanew,) = struct.unpack_from("<I", data, 0x3C)
    if data[lfanew:lfanew + 4] != b"PE\0\0":
        raise ResourceError("not a PE file")
    coff = lfanew + 4
    nsections, = struct.unpack_from("<H", data, coff + 2)
    optsize, = struct.unpack_from("<H", data, coff + 16)
    opt = coff + 20
    magic, = struct.unpack_from("<H", data, opt)
    dirs = opt + (96 if magic == 0x10B else 112)
    res_rva, res_size = struct.unpack_from("<II", data, dirs + 2 * 8)
    sections = []
    for i in range(nsections):
        s = opt + optsize + 40 * i
        vsize, vaddr, rawsize, rawptr = struct.unpack_from("<IIII", data, s + 8)
        sections.append((vaddr, max(vsize, rawsize), rawptr))

    def offset(rva):
        for vaddr, size, rawptr in sections:
            if vaddr <= rva < vaddr + size:
                return rawptr + rva - vaddr
        raise ResourceError("resource address outside every section")

    table = {}
    if not res_rva:
        return table
    base = offset(res_rva)

    def entries(dir_off):
        named, ids = struct.unpack_from("<HH", data, base + dir_off + 12)
        for k in range(named + ids):
            name, target = struct.unpack_from("<II", data, base + dir_off + 16 + 8 * k)
            yield name, target

    for type_id, type_target in entries(0):
        if type_id != RT_STRING or not type_target & 0x80000000:
            continue
        for block_id, block_target in entries(type_target & 0x7FFFFFFF):
            if not block_target & 0x80000000:
                continue
            for _lang, lang_target in entries(block_target & 0x7FFFFFFF):
                data_rva, size = struct.unpack_from("<II", data, base + lang_target)
                start = offset(data_rva)
                _decode_block(block_id, data[start:start + size], table)
    return table


def _read_res_id(data, pos):
    if data[pos:pos + 2] == b"\xff\xff":
        return struct.unpack_from("<H", data, pos + 2)[0], pos + 4
    end = pos
    while data[end:end + 2] != b"\0\0":
        end += 2
    return data[pos:end].decode("utf-16-le"), end + 2


def _read_res(data):
    table = {}
    pos = 0
    while pos + 8 <= len(data):
        size, header = struct.unpack_from("<II", data, pos)
        if header < 8:
            raise ResourceError("damaged .res file")
        type_id, p = _read_res_id(data, pos + 8)
        name_id, p = _read_res_id(data, p)
        start = pos + header
        if type_id == RT_STRING and isinstance(name_id, int):
            _decode_block(name_id, data[start:start + size], table)
        pos = (start + size + 3) & ~3
    return table


def read_string_table(path):
    with open(path, "rb") as f:
        data = f.read()
    if data[:2] == b"MZ":
        return _read_pe(data)
    if data[:8] == b"\0\0\0\0\x20\0\0\0":
        return _read_res(data)
    raise ResourceError("%s is neither a Win32 program nor a .res file" % path)
