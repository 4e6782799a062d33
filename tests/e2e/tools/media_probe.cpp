// media_probe OUT.avi [OTHER...]
// Writes a small uncompressed AVI (64x48, 24-bit, 25 fps, 50 frames) to the
// given path, measures it with the program's media length query and prints
// "frames=F rate=R", or "unopened" when the media framework cannot open it.
// Each further path is measured as it is and reported on a line of its own.
// Exits 0 whenever the file could be written (the results are in the output).
#include <windows.h>
#include <objbase.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "win32/media_query.h"

namespace {

constexpr std::uint32_t kWidth = 64, kHeight = 48, kRate = 25, kFrames = 50;
constexpr std::uint32_t kFrameBytes = kWidth * kHeight * 3;

void put32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}
void put16(std::string& out, std::uint16_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8);
}
void fourcc(std::string& out, const char* code) { out.append(code, 4); }

std::string chunk(const char* id, const std::string& body) {
    std::string out;
    fourcc(out, id);
    put32(out, static_cast<std::uint32_t>(body.size()));
    out += body;
    if (body.size() % 2) out += '\0';
    return out;
}

std::string list(const char* type, const std::string& body) {
    std::string inner;
    fourcc(inner, type);
    inner += body;
    return chunk("LIST", inner);
}

std::string main_header() {
    std::string h;
    put32(h, 1000000 / kRate);          // microseconds per frame
    put32(h, kFrameBytes * kRate);      // max bytes per second
    put32(h, 0);                        // padding granularity
    put32(h, 0x10);                     // AVIF_HASINDEX
    put32(h, kFrames);
    put32(h, 0);                        // initial frames
    put32(h, 1);                        // streams
    put32(h, kFrameBytes);              // suggested buffer size
    put32(h, kWidth);
    put32(h, kHeight);
    for (int i = 0; i < 4; ++i) put32(h, 0);
    return chunk("avih", h);
}

std::string stream_list() {
    std::string h;
    fourcc(h, "vids");
    fourcc(h, "DIB ");
    put32(h, 0);            // flags
    put16(h, 0);            // priority
    put16(h, 0);            // language
    put32(h, 0);            // initial frames
    put32(h, 1);            // scale
    put32(h, kRate);        // rate: rate / scale frames per second
    put32(h, 0);            // start
    put32(h, kFrames);      // length
    put32(h, kFrameBytes);  // suggested buffer size
    put32(h, 0xFFFFFFFF);   // quality: default
    put32(h, kFrameBytes);  // sample size
    put16(h, 0);
    put16(h, 0);
    put16(h, kWidth);
    put16(h, kHeight);

    std::string f;  // BITMAPINFOHEADER
    put32(f, 40);
    put32(f, kWidth);
    put32(f, kHeight);
    put16(f, 1);   // planes
    put16(f, 24);  // bits per pixel
    put32(f, 0);   // BI_RGB
    put32(f, kFrameBytes);
    for (int i = 0; i < 4; ++i) put32(f, 0);
    return list("strl", chunk("strh", h) + chunk("strf", f));
}

std::string avi_file() {
    std::string movi, index;
    std::uint32_t offset = 4;  // index offsets count from the 'movi' type
    for (std::uint32_t n = 0; n < kFrames; ++n) {
        std::string pixels(kFrameBytes, '\0');
        for (std::uint32_t i = 0; i < kFrameBytes; ++i) pixels[i] = static_cast<char>((i * 7 + n * 13) & 0xFF);
        const std::string c = chunk("00db", pixels);
        fourcc(index, "00db");
        put32(index, 0x10);  // AVIIF_KEYFRAME
        put32(index, offset);
        put32(index, kFrameBytes);
        offset += static_cast<std::uint32_t>(c.size());
        movi += c;
    }
    std::string body;
    fourcc(body, "AVI ");
    body += list("hdrl", main_header() + stream_list());
    body += list("movi", movi);
    body += chunk("idx1", index);
    return chunk("RIFF", body);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: media_probe OUT.avi\n");
        return 2;
    }
    const std::string avi = avi_file();
    std::FILE* f = std::fopen(argv[1], "wb");
    if (!f || std::fwrite(avi.data(), 1, avi.size(), f) != avi.size() || std::fclose(f) != 0) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 2;
    }

    CoInitialize(nullptr);
    for (int i = 1; i < argc; ++i) {
        const auto length = tav::directshow_media_length(argv[i]);
        if (length)
            std::printf("frames=%lld rate=%lld\n", static_cast<long long>(length->frames),
                        static_cast<long long>(length->whole_rate));
        else
            std::printf("unopened\n");
    }
    CoUninitialize();
    std::fflush(stdout);
    return 0;
}
