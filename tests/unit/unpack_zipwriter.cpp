#include "unpack_zipwriter.h"

#include <zlib.h>

namespace ziptest {

void Put16(std::string& s, uint32_t v)
{
    s += char(v & 0xFF);
    s += char((v >> 8) & 0xFF);
}

void Put32(std::string& s, uint32_t v)
{
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}

void Put64(std::string& s, uint64_t v)
{
    Put32(s, uint32_t(v));
    Put32(s, uint32_t(v >> 32));
}

namespace {

std::string Deflate(const std::string& data)
{
    z_stream zs{};
    deflateInit2(&zs, 6, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&zs, uLong(data.size())), '\0');
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    zs.avail_in = uInt(data.size());
    zs.next_out = reinterpret_cast<Bytef*>(out.data());
    zs.avail_out = uInt(out.size());
    deflate(&zs, Z_FINISH);
    out.resize(zs.total_out);
    deflateEnd(&zs);
    return out;
}

}  // namespace

std::string Build(const std::vector<Entry>& entries)
{
    std::string zip, central;
    const uint16_t dosTime = (8 << 11) | (30 << 5), dosDate = ((1997 - 1980) << 9) | (6 << 5) | 2;
    for (const Entry& e : entries) {
        std::string payload = e.method == 8 ? Deflate(e.data) : e.data;
        if (e.corruptData && payload.size() > 4)
            for (size_t i = payload.size() / 2; i < payload.size() / 2 + 4; ++i) payload[i] = char(~payload[i]);
        uint32_t crc = uint32_t(crc32(0, reinterpret_cast<const Bytef*>(e.data.data()), uInt(e.data.size())));
        crc += e.crcDelta;
        uint32_t offset = uint32_t(zip.size());
        auto common = [&](std::string& s) {
            Put16(s, 20);  // version needed
            Put16(s, e.flags);
            Put16(s, e.method);
            Put16(s, dosTime);
            Put16(s, dosDate);
            Put32(s, crc);
            Put32(s, uint32_t(payload.size()));
            Put32(s, uint32_t(e.data.size()));
            Put16(s, uint16_t(e.name.size()));
            Put16(s, 0);  // extra field
        };
        Put32(zip, 0x04034b50);
        common(zip);
        zip += e.name;
        zip += payload;

        Put32(central, 0x02014b50);
        Put16(central, 20);  // made by: MS-DOS
        common(central);
        Put16(central, 0);   // comment
        Put16(central, 0);   // disk
        Put16(central, 0);   // internal attributes
        Put32(central, !e.name.empty() && e.name.back() == '/' ? 0x10 : 0x20);
        Put32(central, offset);
        central += e.name;
    }
    uint32_t cdOffset = uint32_t(zip.size());
    zip += central;
    Put32(zip, 0x06054b50);
    Put16(zip, 0);
    Put16(zip, 0);
    Put16(zip, uint16_t(entries.size()));
    Put16(zip, uint16_t(entries.size()));
    Put32(zip, uint32_t(central.size()));
    Put32(zip, cdOffset);
    Put16(zip, 0);
    return zip;
}

std::string Text(size_t size, unsigned seed)
{
    static const char* const kWords[] = {"memory", "driver", "upper", "block", "cache", "disk", "sector",
                                         "Ramhold", "Velomire", "page", "frame", "handler", "region"};
    std::string out;
    out.reserve(size + 16);
    uint32_t x = seed * 2654435761u + 1;
    while (out.size() < size) {
        x = x * 1103515245u + 12345u;
        out += kWords[(x >> 16) % 13];
        out += (x >> 8) % 11 == 0 ? "\r\n" : " ";
        if ((x >> 4) % 7 == 0) out += std::to_string(x % 100000);
    }
    out.resize(size);
    return out;
}

}  // namespace ziptest
