#pragma once

// The edits' undo history: one record per edit, newest first, no depth limit.

#include <cstdint>
#include <memory>
#include <string>

namespace numedit {

// One edit as it was made: the selection it replaced and the text it put there. Positions
// are 1-based and taken before the edit.
struct TKelUndoRecord {
    std::string NewText;  // inserted
    std::string OldText;  // selected and replaced
    std::int32_t SelStart = 0;
    std::int32_t SelLength = 0;
    std::int32_t NewLength = 0;  // length of NewText
    std::int32_t CaretIndex = 0;
};

// A last-in-first-out stack of owned records, singly linked.
class TKelDynLIFOBuffer {
public:
    TKelDynLIFOBuffer() = default;
    TKelDynLIFOBuffer(const TKelDynLIFOBuffer&) = delete;
    TKelDynLIFOBuffer& operator=(const TKelDynLIFOBuffer&) = delete;
    ~TKelDynLIFOBuffer() { Clear(); }

    void Push(std::unique_ptr<TKelUndoRecord> record);
    // The newest record, taken off the stack; null when empty.
    std::unique_ptr<TKelUndoRecord> Pop();
    // The newest record, left on the stack; null when empty.
    const TKelUndoRecord* Top() const { return head_ ? head_->record.get() : nullptr; }
    bool Empty() const { return head_ == nullptr; }
    int Count() const { return count_; }
    // Disposes every record.
    void Clear();

private:
    struct Node {
        std::unique_ptr<TKelUndoRecord> record;
        std::unique_ptr<Node> next;
    };

    std::unique_ptr<Node> head_;
    int count_ = 0;
};

}  // namespace numedit
