// The yardstick for Caldrift's compression: one core of a native program doing
// the same zlib work, each 2,048-byte block of an image deflated raw at the
// best level, kept as is where that is no smaller. Prints the seconds it took
// and the CSO size that work gives (header and index included).
// usage: cso_yardstick <image>
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    std::ifstream in(argv[1], std::ios::binary);
    std::vector<char> image((std::istreambuf_iterator<char>(in)), {});
    const std::size_t block = 2048, blocks = (image.size() + block - 1) / block;
    image.resize(blocks * block, '\0');
    z_stream z{};
    deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    std::vector<unsigned char> out(block);
    unsigned long long size = 24 + 4 * (blocks + 1);
    auto started = std::chrono::steady_clock::now();
    for (std::size_t b = 0; b < blocks; ++b) {
        deflateReset(&z);
        z.next_in = reinterpret_cast<Bytef*>(&image[b * block]);
        z.avail_in = block;
        z.next_out = out.data();
        z.avail_out = block - 1;
        size += deflate(&z, Z_FINISH) == Z_STREAM_END ? z.total_out : block;
    }
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
    deflateEnd(&z);
    std::printf("%.3f %llu\n", took.count(), size);
    return 0;
}
