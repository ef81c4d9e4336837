#include "framework/ClassesStreams.h"

#include <algorithm>
#include <cstring>

#include "desktop/Resources.h"
#include "framework/ClassesConsts.h"

namespace fw {

namespace {

// The target position clamped to [0, size]; streams never move outside their data.
std::size_t SeekTarget(std::int64_t offset, TSeekOrigin origin, std::size_t position, std::size_t size)
{
    std::int64_t base = 0;
    switch (origin) {
        case TSeekOrigin::soBeginning: base = 0; break;
        case TSeekOrigin::soCurrent: base = static_cast<std::int64_t>(position); break;
        case TSeekOrigin::soEnd: base = static_cast<std::int64_t>(size); break;
    }
    const std::int64_t limit = static_cast<std::int64_t>(size);
    std::int64_t target = base;
    if (offset > 0) {
        target = offset > limit - base ? limit : base + offset;
    } else if (offset < 0) {
        target = -offset > base ? 0 : base + offset;
    }
    return static_cast<std::size_t>(target);
}

}  // namespace

std::int64_t TStream::Size()
{
    const std::int64_t position = Seek(0, TSeekOrigin::soCurrent);
    const std::int64_t size = Seek(0, TSeekOrigin::soEnd);
    Seek(position, TSeekOrigin::soBeginning);
    return size;
}

void TStream::SetSize(std::int64_t) { throw EStreamError(SWriteError); }

void TStream::ReadBuffer(void* buffer, std::size_t count)
{
    if (count != 0 && Read(buffer, count) != count) {
        throw EReadError(SReadError);
    }
}

void TStream::WriteBuffer(const void* buffer, std::size_t count)
{
    if (count != 0 && Write(buffer, count) != count) {
        throw EStreamError(SWriteError);
    }
}

std::int64_t TStream::CopyFrom(TStream& source, std::int64_t count)
{
    if (count <= 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    std::vector<std::uint8_t> chunk(64 * 1024);
    std::int64_t left = count;
    while (left > 0) {
        const std::size_t n =
            static_cast<std::size_t>(std::min<std::int64_t>(left, static_cast<std::int64_t>(chunk.size())));
        source.ReadBuffer(chunk.data(), n);
        WriteBuffer(chunk.data(), n);
        left -= static_cast<std::int64_t>(n);
    }
    return count;
}

std::size_t TMemoryStream::Read(void* buffer, std::size_t count)
{
    const std::size_t n = std::min(count, data_.size() - std::min(position_, data_.size()));
    if (n != 0) {
        std::memcpy(buffer, data_.data() + position_, n);
    }
    position_ += n;
    return n;
}

std::size_t TMemoryStream::Write(const void* buffer, std::size_t count)
{
    if (count == 0) {
        return 0;
    }
    if (position_ + count > data_.size()) {
        data_.resize(position_ + count);
    }
    std::memcpy(data_.data() + position_, buffer, count);
    position_ += count;
    return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin)
{
    position_ = SeekTarget(offset, origin, position_, data_.size());
    return static_cast<std::int64_t>(position_);
}

void TMemoryStream::SetSize(std::int64_t newSize)
{
    data_.resize(static_cast<std::size_t>(std::max<std::int64_t>(newSize, 0)));
    position_ = std::min(position_, data_.size());
}

void TMemoryStream::Clear()
{
    data_.clear();
    position_ = 0;
}

std::size_t TBytesStream::Read(void* buffer, std::size_t count)
{
    const std::size_t n = std::min(count, data_.size() - std::min(position_, data_.size()));
    if (n != 0) {
        std::memcpy(buffer, data_.data() + position_, n);
    }
    position_ += n;
    return n;
}

std::size_t TBytesStream::Write(const void*, std::size_t) { return 0; }

std::int64_t TBytesStream::Seek(std::int64_t offset, TSeekOrigin origin)
{
    position_ = SeekTarget(offset, origin, position_, data_.size());
    return static_cast<std::int64_t>(position_);
}

namespace {

std::span<const std::uint8_t> FindResourceOrFail(int resourceType, const std::string& name)
{
    const auto found = desktop::FindResource(resourceType, name);
    if (!found) {
        throw EResNotFound(FormatMessage1(SResNotFound, name));
    }
    return *found;
}

}  // namespace

TResourceStream::TResourceStream(int resourceType, const std::string& name)
    : TBytesStream(FindResourceOrFail(resourceType, name))
{
}

}  // namespace fw
