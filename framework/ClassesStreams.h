#pragma once

// Byte streams: the abstract TStream, an owning memory stream, a read-only view over bytes
// that live elsewhere, and the view over an embedded resource.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "framework/ClassesComponent.h"

namespace fw {

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream : public TObject {
public:
    // Both return the count actually transferred.
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
    // Returns the new position.
    virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;
    virtual std::int64_t Size();
    virtual void SetSize(std::int64_t newSize);

    std::int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
    void SetPosition(std::int64_t position) { Seek(position, TSeekOrigin::soBeginning); }
    // Bytes from the position to the end.
    std::int64_t Remaining() { return Size() - Position(); }
    // Fail with "Stream read error" / "Stream write error" on a short transfer.
    void ReadBuffer(void* buffer, std::size_t count);
    void WriteBuffer(const void* buffer, std::size_t count);
    std::int64_t CopyFrom(TStream& source, std::int64_t count);
};

// A stream over memory it owns; grows on write.
class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<std::uint8_t> bytes) : data_(std::move(bytes)) {}

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    std::int64_t Size() override { return static_cast<std::int64_t>(data_.size()); }
    void SetSize(std::int64_t newSize) override;

    const std::vector<std::uint8_t>& Bytes() const { return data_; }
    void Clear();

private:
    std::vector<std::uint8_t> data_;
    std::size_t position_ = 0;
};

// A read-only stream over bytes that must outlive it.
class TBytesStream : public TStream {
public:
    explicit TBytesStream(std::span<const std::uint8_t> bytes) : data_(bytes) {}

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    std::int64_t Size() override { return static_cast<std::int64_t>(data_.size()); }

    std::span<const std::uint8_t> Bytes() const { return data_; }

private:
    std::span<const std::uint8_t> data_;
    std::size_t position_ = 0;
};

// An embedded resource; fails with "Resource %s not found".
class TResourceStream : public TBytesStream {
public:
    TResourceStream(int resourceType, const std::string& name);
};

}  // namespace fw
