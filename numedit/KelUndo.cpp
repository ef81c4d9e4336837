#include "numedit/KelUndo.h"

#include <utility>

namespace numedit {

void TKelDynLIFOBuffer::Push(std::unique_ptr<TKelUndoRecord> record)
{
    if (!record) {
        return;
    }
    head_ = std::make_unique<Node>(Node{std::move(record), std::move(head_)});
    ++count_;
}

std::unique_ptr<TKelUndoRecord> TKelDynLIFOBuffer::Pop()
{
    if (!head_) {
        return nullptr;
    }
    std::unique_ptr<Node> node = std::move(head_);
    head_ = std::move(node->next);
    --count_;
    return std::move(node->record);
}

void TKelDynLIFOBuffer::Clear()
{
    // One node at a time: letting the chain destroy itself would recurse once per record.
    while (head_) {
        head_ = std::move(head_->next);
    }
    count_ = 0;
}

}  // namespace numedit
