#include "formats/cso_writer.h"

#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace caldrift {

namespace {
constexpr std::uint64_t kStoredAsIs = 0x80000000u, kLargestOffset = 0x7FFFFFFFu;
constexpr std::size_t kBlocksPerTask = 64;
constexpr std::size_t kBatchesInFlight = 4;  // each holds its source and what it became
constexpr auto kProgressEvery = std::chrono::milliseconds(50);

void putLittleEndian(std::string& into, std::size_t at, std::uint64_t value, int count) {
    for (int i = 0; i < count; ++i) into[at + i] = static_cast<char>(value >> (8 * i) & 0xFF);
}

// One worker's zlib streams, made once and reset for each block.
class BlockCompressor {
public:
    BlockCompressor() {
        ok_ = deflateInit2(&deflate_, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) ==
              Z_OK;
        ok_ = inflateInit2(&inflate_, -15) == Z_OK && ok_;
    }
    ~BlockCompressor() {
        deflateEnd(&deflate_);
        inflateEnd(&inflate_);
    }
    BlockCompressor(const BlockCompressor&) = delete;
    BlockCompressor& operator=(const BlockCompressor&) = delete;

    // The block as the CSO holds it; false when its deflate does not inflate back to it.
    bool compress(const char* block, std::string& out, unsigned char& asIs) {
        out.resize(kCsoBlock - 1);  // smaller, or it is stored as is
        deflateReset(&deflate_);
        deflate_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(block));
        deflate_.avail_in = kCsoBlock;
        deflate_.next_out = reinterpret_cast<Bytef*>(out.data());
        deflate_.avail_out = kCsoBlock - 1;
        asIs = deflate(&deflate_, Z_FINISH) != Z_STREAM_END;
        if (asIs) {
            out.assign(block, kCsoBlock);
            return ok_;
        }
        out.resize(deflate_.total_out);
        char back[kCsoBlock];
        inflateReset(&inflate_);
        inflate_.next_in = reinterpret_cast<Bytef*>(out.data());
        inflate_.avail_in = static_cast<uInt>(out.size());
        inflate_.next_out = reinterpret_cast<Bytef*>(back);
        inflate_.avail_out = kCsoBlock;
        return ok_ && inflate(&inflate_, Z_FINISH) == Z_STREAM_END &&
               inflate_.total_out == kCsoBlock && std::memcmp(back, block, kCsoBlock) == 0;
    }

private:
    z_stream deflate_{}, inflate_{};
    bool ok_ = false;
};

// Consecutive blocks read together, and what each became.
struct Batch {
    std::uint64_t firstBlock = 0;
    std::size_t blocks = 0;
    std::string source;
    std::vector<std::string> written;
    std::vector<unsigned char> asIs;
    std::size_t tasksLeft = 0;
    bool checkFailed = false;
};

// Workers that compress the blocks of the batches they are given, a task of
// kBlocksPerTask blocks at a time.
class WorkerPool {
public:
    explicit WorkerPool(unsigned workers) {
        for (unsigned i = 0; i < std::max(workers, 1u); ++i)
            threads_.emplace_back([this] { work(); });
    }
    ~WorkerPool() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        for (std::thread& t : threads_) t.join();
    }
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    void add(Batch& batch) {
        std::lock_guard<std::mutex> lock(mutex_);
        for (std::size_t first = 0; first < batch.blocks; first += kBlocksPerTask) {
            tasks_.push_back({&batch, first});
            ++batch.tasksLeft;
        }
        wake_.notify_all();
    }
    // True once every block of the batch is done; false after a short wait.
    bool waitFor(Batch& batch) {
        std::unique_lock<std::mutex> lock(mutex_);
        return done_.wait_for(lock, kProgressEvery, [&batch] { return batch.tasksLeft == 0; });
    }

private:
    struct Task {
        Batch* batch;
        std::size_t first;
    };

    void work() {
        BlockCompressor zlib;
        for (;;) {
            Task task;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                wake_.wait(lock, [this] { return stopping_ || !tasks_.empty(); });
                if (stopping_) return;
                task = tasks_.front();
                tasks_.pop_front();
            }
            Batch& b = *task.batch;
            bool ok = true;
            for (std::size_t i = task.first; i < std::min(task.first + kBlocksPerTask, b.blocks);
                 ++i)
                ok = zlib.compress(&b.source[i * kCsoBlock], b.written[i], b.asIs[i]) && ok;
            std::lock_guard<std::mutex> lock(mutex_);
            b.checkFailed = b.checkFailed || !ok;
            if (--b.tasksLeft == 0) done_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_, done_;
    std::deque<Task> tasks_;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

std::uint64_t blocksOf(std::uint64_t imageBytes) {
    return (imageBytes + kCsoBlock - 1) / kCsoBlock;
}
}  // namespace

unsigned csoShift(std::uint64_t imageBytes) {
    std::uint64_t blocks = blocksOf(imageBytes);
    std::uint64_t largest = kCsoHeader + 4 * (blocks + 1) + blocks * kCsoBlock;
    unsigned shift = 0;
    while ((largest >> shift) > kLargestOffset) ++shift;
    return shift;
}

CsoResult writeCso(ByteSource& image, ByteSink& out, const CsoOptions& options) {
    const std::uint64_t total = image.size(), blocks = blocksOf(total);
    const unsigned shift = csoShift(total);
    const std::size_t batchBlocks = static_cast<std::size_t>(
        std::max<std::uint64_t>(options.inFlight / (2 * kBatchesInFlight * kCsoBlock), 1));

    std::string header(kCsoHeader, '\0'), index(4 * (blocks + 1), '\0');
    header.replace(0, 4, "CISO");
    putLittleEndian(header, 4, kCsoHeader, 4);
    putLittleEndian(header, 8, total, 8);
    putLittleEndian(header, 16, kCsoBlock, 4);
    header[20] = 1;  // version
    header[21] = static_cast<char>(shift);
    std::uint64_t at = kCsoHeader + index.size();
    if (at > options.room) return {CsoOutcome::NoRoom};
    if (!out.append(header + index)) return {CsoOutcome::WriteFailed};

    std::deque<Batch> batches;  // outlives the workers that use it
    WorkerPool pool(options.workers);
    std::uint64_t nextBlock = 0, doneBlocks = 0;
    while (doneBlocks < blocks) {
        while (batches.size() < kBatchesInFlight && nextBlock < blocks) {
            Batch& b = batches.emplace_back();
            b.firstBlock = nextBlock;
            b.blocks =
                static_cast<std::size_t>(std::min<std::uint64_t>(batchBlocks, blocks - nextBlock));
            std::uint64_t offset = nextBlock * kCsoBlock;
            std::size_t count = static_cast<std::size_t>(
                std::min<std::uint64_t>(b.blocks * kCsoBlock, total - offset));
            if (!image.read(offset, count, b.source) || b.source.size() != count)
                return {CsoOutcome::ReadFailed};
            b.source.resize(b.blocks * kCsoBlock, '\0');
            b.written.resize(b.blocks);
            b.asIs.resize(b.blocks);
            pool.add(b);
            nextBlock += b.blocks;
        }
        Batch& front = batches.front();
        if (!pool.waitFor(front)) {
            if (!options.progress(doneBlocks * kCsoBlock)) return {CsoOutcome::Cancelled};
            continue;
        }
        if (front.checkFailed) return {CsoOutcome::CheckFailed};
        std::string bytes;
        for (std::size_t i = 0; i < front.blocks; ++i) {
            std::uint64_t entry = (at + bytes.size()) >> shift;
            putLittleEndian(index, 4 * (front.firstBlock + i),
                            entry | (front.asIs[i] ? kStoredAsIs : 0), 4);
            bytes += front.written[i];
            std::uint64_t end = at + bytes.size(), step = std::uint64_t{1} << shift;
            bytes.append(static_cast<std::size_t>((step - end % step) % step), '\0');
        }
        if (bytes.size() > options.room - at) return {CsoOutcome::NoRoom};
        if (!out.append(bytes)) return {CsoOutcome::WriteFailed};
        at += bytes.size();
        doneBlocks += front.blocks;
        batches.pop_front();
        if (!options.progress(std::min(doneBlocks * kCsoBlock, total)))
            return {CsoOutcome::Cancelled};
    }
    putLittleEndian(index, 4 * blocks, at >> shift, 4);
    if (!out.writeAt(kCsoHeader, index)) return {CsoOutcome::WriteFailed};
    return {CsoOutcome::Written, at};
}

}  // namespace caldrift
