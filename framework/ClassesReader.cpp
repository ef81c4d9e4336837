#include "framework/ClassesReader.h"

#include <cstring>
#include <memory>

#include "desktop/Codepage.h"
#include "desktop/Resources.h"
#include "framework/ClassesConsts.h"
#include "framework/ClassesLists.h"
#include "framework/SysUtilsConvert.h"

namespace fw {

namespace {

// Nesting of records and lists deeper than this is taken as a corrupt stream, so that no
// input can exhaust the stack.
constexpr int MaxNesting = 200;

std::function<TComponent*(const std::string&)>& GlobalFinder()
{
    static std::function<TComponent*(const std::string&)> finder;
    return finder;
}

[[noreturn]] void RaiseInvalidValue() { throw EReadError(SInvalidPropertyValue); }
[[noreturn]] void RaiseInvalidFormat() { throw EReadError(SInvalidImage); }

// Fills the "%s" slots left to right; the arguments themselves are never rescanned.
std::string FormatPropertyError(const std::string& objectName, const std::string& propName, const std::string& message)
{
    const std::string args[] = {objectName, ".", propName, message};
    const std::string format = SPropertyException;
    std::string text;
    std::size_t next = 0;
    std::size_t from = 0;
    for (std::size_t at = format.find("%s"); at != std::string_view::npos && next < 4; at = format.find("%s", from)) {
        text.append(format.substr(from, at - from));
        text += args[next++];
        from = at + 2;
    }
    text.append(format.substr(from));
    return text;
}

}  // namespace

void SetFindGlobalComponent(std::function<TComponent*(const std::string& name)> finder)
{
    GlobalFinder() = std::move(finder);
}

void InitInheritedComponent(TComponent* instance, const TClassInfo& baseClass,
                            const std::function<void(TReader& reader)>& configure)
{
    std::vector<const TClassInfo*> chain;
    for (const TClassInfo* info = &instance->ClassInfo(); info != nullptr && info != &baseClass; info = info->parent) {
        chain.push_back(info);
    }
    bool found = false;
    for (auto info = chain.rbegin(); info != chain.rend(); ++info) {
        const auto bytes = desktop::FindResource(desktop::RT_RCDATA, (*info)->name);
        if (!bytes) {
            continue;
        }
        found = true;
        TBytesStream stream(*bytes);
        TReader reader(stream);
        if (configure) {
            configure(reader);
        }
        reader.ReadRootComponent(instance);
    }
    if (!found) {
        throw EResNotFound(FormatMessage1(SResNotFound, instance->ClassName()));
    }
}

class TReader::DepthGuard {
public:
    explicit DepthGuard(int& depth) : depth_(depth)
    {
        if (++depth_ > MaxNesting) {
            --depth_;
            RaiseInvalidFormat();
        }
    }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;
    ~DepthGuard() { --depth_; }

private:
    int& depth_;
};

std::uint8_t TReader::ReadByte()
{
    std::uint8_t byte = 0;
    stream_.ReadBuffer(&byte, 1);
    return byte;
}

template <class T>
T TReader::ReadRaw()
{
    unsigned char bytes[sizeof(T)] = {};
    stream_.ReadBuffer(bytes, sizeof(T));
    T value{};
    std::memcpy(&value, bytes, sizeof(T));
    return value;
}

std::string TReader::ReadBytes(std::uint32_t count)
{
    if (count > stream_.Remaining()) {
        throw EReadError(SReadError);
    }
    std::string bytes(count, '\0');
    stream_.ReadBuffer(bytes.data(), count);
    return bytes;
}

// A 4-byte count of units; refuses counts the stream cannot hold before allocating anything.
std::uint32_t TReader::ReadCount(std::uint32_t unitSize)
{
    const std::uint32_t count = ReadRaw<std::uint32_t>();
    if (static_cast<std::int64_t>(count) * unitSize > stream_.Remaining()) {
        throw EReadError(SReadError);
    }
    return count;
}

TValueType TReader::ReadValue() { return static_cast<TValueType>(ReadByte()); }

TValueType TReader::NextValue()
{
    const TValueType type = ReadValue();
    stream_.Seek(-1, TSeekOrigin::soCurrent);
    return type;
}

bool TReader::EndOfList() { return NextValue() == TValueType::vaNull; }

void TReader::CheckValue(TValueType actual, TValueType expected)
{
    if (actual != expected) {
        RaiseInvalidValue();
    }
}

void TReader::ReadListBegin() { CheckValue(ReadValue(), TValueType::vaList); }

void TReader::ReadListEnd() { CheckValue(ReadValue(), TValueType::vaNull); }

std::int64_t TReader::ReadIntegerData(TValueType type)
{
    switch (type) {
        case TValueType::vaInt8: return ReadRaw<std::int8_t>();
        case TValueType::vaInt16: return ReadRaw<std::int16_t>();
        case TValueType::vaInt32: return ReadRaw<std::int32_t>();
        case TValueType::vaInt64: return ReadRaw<std::int64_t>();
        default: RaiseInvalidValue();
    }
}

std::int32_t TReader::ReadInteger()
{
    const TValueType type = ReadValue();
    if (type == TValueType::vaInt64) {
        RaiseInvalidValue();
    }
    return static_cast<std::int32_t>(ReadIntegerData(type));
}

std::int64_t TReader::ReadInt64() { return ReadIntegerData(ReadValue()); }

long double TReader::ReadFloat()
{
    const TValueType type = ReadValue();
    if (type != TValueType::vaExtended) {
        return static_cast<long double>(ReadIntegerData(type));
    }
    // x86-64's long double is the stored 80-bit format; its padding stays zero.
    unsigned char bytes[10] = {};
    stream_.ReadBuffer(bytes, sizeof bytes);
    long double value = 0;
    static_assert(sizeof(long double) >= sizeof bytes);
    std::memcpy(&value, bytes, sizeof bytes);
    return value;
}

std::string TReader::ReadStr() { return ReadBytes(ReadByte()); }

std::string TReader::ReadString()
{
    switch (ReadValue()) {
        case TValueType::vaString: return ReadStr();
        case TValueType::vaLString: return ReadBytes(ReadCount(1));
        case TValueType::vaWString: {
            const std::uint32_t count = ReadCount(2);
            std::u16string wide(count, u'\0');
            stream_.ReadBuffer(wide.data(), 2 * static_cast<std::size_t>(count));
            std::string text;
            text.reserve(count);
            for (std::size_t i = 0; i < wide.size(); ++i) {
                char32_t code = wide[i];
                if (code >= 0xD800 && code < 0xDC00 && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
                    wide[i + 1] < 0xE000) {
                    code = 0x10000 + ((code - 0xD800) << 10) + (wide[i + 1] - 0xDC00);
                    ++i;
                }
                const int byte = desktop::UnicodeToCp1252(code);
                text += byte < 0 ? '?' : static_cast<char>(byte);
            }
            return text;
        }
        default: RaiseInvalidValue();
    }
}

std::string TReader::ReadIdent()
{
    switch (ReadValue()) {
        case TValueType::vaIdent: return ReadStr();
        case TValueType::vaFalse: return "False";
        case TValueType::vaTrue: return "True";
        case TValueType::vaNull: return "Null";
        case TValueType::vaNil: return "nil";
        default: RaiseInvalidValue();
    }
}

bool TReader::ReadBoolean()
{
    const TValueType type = ReadValue();
    if (type != TValueType::vaTrue && type != TValueType::vaFalse) {
        RaiseInvalidValue();
    }
    return type == TValueType::vaTrue;
}

char TReader::ReadChar()
{
    CheckValue(ReadValue(), TValueType::vaString);
    const std::string text = ReadStr();
    if (text.size() != 1) {
        RaiseInvalidValue();
    }
    return text[0];
}

void TReader::SkipValue()
{
    const DepthGuard guard(depth_);
    const TValueType type = ReadValue();
    switch (type) {
        case TValueType::vaNull:
        case TValueType::vaFalse:
        case TValueType::vaTrue:
        case TValueType::vaNil: return;
        case TValueType::vaList:
            while (!EndOfList()) {
                SkipValue();
            }
            ReadListEnd();
            return;
        case TValueType::vaInt8: ReadBytes(1); return;
        case TValueType::vaInt16: ReadBytes(2); return;
        case TValueType::vaInt32:
        case TValueType::vaSingle: ReadBytes(4); return;
        case TValueType::vaExtended: ReadBytes(10); return;
        case TValueType::vaCurrency:
        case TValueType::vaDate:
        case TValueType::vaInt64: ReadBytes(8); return;
        case TValueType::vaString:
        case TValueType::vaIdent: ReadStr(); return;
        case TValueType::vaBinary:
        case TValueType::vaLString: ReadBytes(ReadCount(1)); return;
        case TValueType::vaWString: ReadBytes(2 * ReadCount(2)); return;
        case TValueType::vaSet:
            while (!ReadStr().empty()) {
            }
            return;
        case TValueType::vaCollection:
            while (!EndOfList()) {
                const TValueType next = NextValue();
                if (next == TValueType::vaInt8 || next == TValueType::vaInt16 || next == TValueType::vaInt32) {
                    ReadInteger();
                }
                ReadListBegin();
                while (!EndOfList()) {
                    ReadStr();
                    SkipValue();
                }
                ReadListEnd();
            }
            ReadListEnd();
            return;
    }
    RaiseInvalidFormat();
}

void TReader::DefineProperty(const std::string& name, ReadProc readProc, bool)
{
    if (!propertyClaimed_ && readProc && SameText(name, propName_)) {
        propertyClaimed_ = true;
        readProc(*this);
    }
}

void TReader::DefineBinaryProperty(const std::string& name, StreamProc readProc, bool)
{
    if (propertyClaimed_ || !readProc || !SameText(name, propName_)) {
        return;
    }
    propertyClaimed_ = true;
    CheckValue(ReadValue(), TValueType::vaBinary);
    const std::string bytes = ReadBytes(ReadCount(1));
    TMemoryStream data(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    readProc(data);
}

TComponent* TReader::ReadRootComponent(TComponent* root)
{
    char signature[4] = {};
    stream_.ReadBuffer(signature, sizeof signature);
    if (std::memcmp(signature, FilerSignature, sizeof signature) != 0) {
        RaiseInvalidFormat();
    }
    std::unique_ptr<TComponent> created;
    try {
        if (NextValue() >= static_cast<TValueType>(0xF0)) {
            const std::uint8_t flags = ReadByte() & 0x0F;
            if ((flags & ffChildPos) != 0) {
                ReadInteger();
            }
        }
        const std::string className = ReadStr();
        std::string name = ReadStr();
        if (root == nullptr) {
            const TClassInfo& info = FindComponentClass(className);
            created.reset(OnCreateComponent ? OnCreateComponent(info, nullptr) : info.create(nullptr));
            if (!created) {
                throw EClassNotFound(FormatMessage1(SClassNotFound, className));
            }
            root = created.get();
        }
        root_ = root;
        if (TComponent* owner = root->Owner()) {
            const std::string stored = name;
            for (int counter = 1; owner->FindComponent(name) != nullptr && owner->FindComponent(name) != root;
                 ++counter) {
                name = stored + "_" + IntegerToText(counter);
            }
        }
        root->SetName(name);
        root->SetState(csLoading | csReading);
        loaded_.push_back(root);
        if (OnReadRootStart) {
            OnReadRootStart(root);
        }
        root->ReadState(*this);
        if (OnReadRootEnd) {
            OnReadRootEnd(root);
        }
        // Every component is told in reading order, root first, once the tree is complete.
        for (TComponent* component : loaded_) {
            component->ClearState(csReading);
        }
        const std::vector<TComponent*> loaded = std::move(loaded_);
        loaded_.clear();
        for (TComponent* component : loaded) {
            component->Loaded();
        }
    } catch (...) {
        fixups_.clear();
        for (TComponent* component : loaded_) {
            component->ClearState(csLoading | csReading);
        }
        loaded_.clear();
        throw;
    }
    return created ? created.release() : root;
}

void TReader::ReadData(TComponent* instance)
{
    while (!EndOfList()) {
        ReadProperty(instance);
    }
    ReadListEnd();
    TComponent* const savedParent = parent_;
    TComponent* const savedOwner = owner_;
    parent_ = instance;
    owner_ = root_;
    try {
        while (!EndOfList()) {
            ReadComponent(instance);
        }
        ReadListEnd();
    } catch (...) {
        parent_ = savedParent;
        owner_ = savedOwner;
        throw;
    }
    parent_ = savedParent;
    owner_ = savedOwner;
    if (instance == root_) {
        FixupReferences();
    }
}

const TClassInfo& TReader::FindComponentClass(const std::string& className)
{
    const TClassInfo* info = FindClass(className);
    if (info == nullptr && OnFindComponentClass) {
        info = OnFindComponentClass(className);
    }
    if (info == nullptr || !info->InheritsFrom(TComponent::Info()) || !info->create) {
        throw EClassNotFound(FormatMessage1(SClassNotFound, className));
    }
    return *info;
}

TComponent* TReader::ReadComponent(TComponent* parent)
{
    const DepthGuard guard(depth_);
    std::uint8_t flags = 0;
    if (NextValue() >= static_cast<TValueType>(0xF0)) {
        flags = ReadByte() & 0x0F;
        if ((flags & ffChildPos) != 0) {
            ReadInteger();  // sibling order follows reading order here
        }
    }
    const std::string className = ReadStr();
    const std::string name = ReadStr();
    TComponent* component = (flags & ffInherited) != 0 ? root_->FindComponent(name) : nullptr;
    std::unique_ptr<TComponent> created;
    if (component == nullptr) {
        const TClassInfo& info = FindComponentClass(className);
        created.reset(OnCreateComponent ? OnCreateComponent(info, root_) : info.create(root_));
        if (!created) {
            throw EClassNotFound(FormatMessage1(SClassNotFound, className));
        }
        component = created.get();
    }
    component->SetState(csLoading | csReading);
    // What this component's reading adds to the loaded list leaves it when the component fails.
    const std::size_t loadedMark = loaded_.size();
    try {
        component->SetParentComponent(parent);
        component->SetName(name);
        component->ReadState(*this);
    } catch (...) {
        // All still exist here; those this component owns go with it, the others stay unloaded.
        for (std::size_t i = loadedMark; i < loaded_.size(); ++i) {
            loaded_[i]->ClearState(csLoading | csReading);
        }
        loaded_.resize(loadedMark);
        throw;
    }
    created.release();
    loaded_.push_back(component);
    return component;
}

void TReader::ReadProperty(TPersistent* instance)
{
    const std::string path = ReadStr();
    const std::int64_t valueStart = stream_.Position();
    try {
        TPersistent* target = instance;
        std::size_t start = 0;
        std::size_t dot = path.find('.');
        for (; dot != std::string::npos; start = dot + 1, dot = path.find('.', start)) {
            const PropertyInfo* step =
                target->ClassInfo().FindProperty(std::string_view(path).substr(start, dot - start));
            if (step == nullptr) {
                throw EReadError(SUnknownProperty);
            }
            TPersistent* next = step->kind == PropertyKind::Object ? step->getObject(target) : nullptr;
            if (next == nullptr) {
                throw EReadError(SInvalidPropertyPath);
            }
            target = next;
        }
        const std::string last = path.substr(start);
        if (const PropertyInfo* property = target->ClassInfo().FindProperty(last)) {
            ReadPropertyValue(target, *property);
            return;
        }
        propName_ = last;
        propertyClaimed_ = false;
        target->DefineProperties(*this);
        const bool claimed = propertyClaimed_;
        propName_.clear();
        propertyClaimed_ = false;
        if (!claimed) {
            throw EReadError(SUnknownProperty);
        }
    } catch (const Exception& e) {
        propName_.clear();
        propertyClaimed_ = false;
        if (OnError && OnError(e.Message())) {
            stream_.SetPosition(valueStart);
            SkipValue();
            return;
        }
        const auto* component = dynamic_cast<const TComponent*>(instance);
        std::string objectName = component != nullptr ? component->Name() : std::string();
        if (objectName.empty()) {
            objectName = instance->ClassName();
        }
        throw EReadError(FormatPropertyError(objectName, path, e.Message()));
    }
}

std::int64_t TReader::ReadSet(const PropertyInfo& property)
{
    CheckValue(ReadValue(), TValueType::vaSet);
    std::int64_t mask = 0;
    for (std::string member = ReadStr(); !member.empty(); member = ReadStr()) {
        std::size_t ordinal = 0;
        while (ordinal < property.names.size() && !SameText(property.names[ordinal], member)) {
            ++ordinal;
        }
        if (ordinal == property.names.size()) {
            RaiseInvalidValue();
        }
        if (ordinal < 32) {
            mask |= std::int64_t{1} << ordinal;
        }
    }
    return mask;
}

void TReader::ReadPropertyValue(TPersistent* instance, const PropertyInfo& property)
{
    if (property.kind == PropertyKind::Object) {
        ReadObjectValue(instance, property);
        return;
    }
    if (property.IsReadOnly()) {
        throw EReadError(SReadOnlyProperty);
    }
    switch (property.kind) {
        case PropertyKind::Integer:
            if (NextValue() == TValueType::vaIdent) {
                const std::string ident = ReadIdent();
                std::int32_t value = 0;
                if (!property.identToInt || !property.identToInt(ident, value)) {
                    RaiseInvalidValue();
                }
                property.setOrdinal(instance, value);
            } else {
                property.setOrdinal(instance, ReadInteger());
            }
            return;
        case PropertyKind::Char: property.setOrdinal(instance, static_cast<unsigned char>(ReadChar())); return;
        case PropertyKind::Enumeration: {
            const std::string ident = ReadIdent();
            for (std::size_t i = 0; i < property.names.size(); ++i) {
                if (SameText(property.names[i], ident)) {
                    property.setOrdinal(instance, static_cast<std::int64_t>(i));
                    return;
                }
            }
            RaiseInvalidValue();
        }
        case PropertyKind::Float: property.setFloat(instance, ReadFloat()); return;
        case PropertyKind::String: property.setString(instance, ReadString()); return;
        case PropertyKind::Set: property.setOrdinal(instance, ReadSet(property)); return;
        case PropertyKind::Method: {
            if (NextValue() == TValueType::vaNil) {
                ReadValue();
                property.setMethod(instance, {});
                return;
            }
            const std::string name = ReadIdent();
            TNotifyEvent handler;
            if (const MethodInfo* method = root_->ClassInfo().FindMethod(name)) {
                handler = method->bind(root_);
            } else if (OnFindMethod) {
                handler = OnFindMethod(root_, name);
            }
            if (!handler) {
                RaiseInvalidValue();
            }
            property.setMethod(instance, std::move(handler));
            return;
        }
        case PropertyKind::Int64: property.setOrdinal(instance, ReadInt64()); return;
        case PropertyKind::Object: break;
    }
}

void TReader::ReadObjectValue(TPersistent* instance, const PropertyInfo& property)
{
    switch (NextValue()) {
        case TValueType::vaCollection: {
            ReadValue();
            auto* collection = dynamic_cast<TCollection*>(property.getObject(instance));
            if (collection == nullptr) {
                RaiseInvalidValue();
            }
            ReadCollection(*collection);
            return;
        }
        case TValueType::vaNil:
            if (property.IsReadOnly()) {
                throw EReadError(SReadOnlyProperty);
            }
            ReadValue();
            if (!property.setObject(instance, nullptr)) {
                RaiseInvalidValue();
            }
            return;
        case TValueType::vaIdent:
            if (property.IsReadOnly()) {
                throw EReadError(SReadOnlyProperty);
            }
            fixups_.push_back({instance, &property, ReadIdent()});
            return;
        default: RaiseInvalidValue();
    }
}

void TReader::ReadCollection(TCollection& collection)
{
    const DepthGuard guard(depth_);
    collection.BeginUpdate();
    try {
        if (!EndOfList()) {
            // References recorded for the items about to go must not outlive them.
            std::erase_if(fixups_, [&](const Fixup& fixup) {
                const auto* item = dynamic_cast<const TCollectionItem*>(fixup.instance);
                return item != nullptr && item->Collection() == &collection;
            });
            collection.Clear();
        }
        while (!EndOfList()) {
            const TValueType next = NextValue();
            if (next == TValueType::vaInt8 || next == TValueType::vaInt16 || next == TValueType::vaInt32) {
                ReadInteger();  // the item's order: items are appended in stored order
            }
            ReadListBegin();
            TCollectionItem* item = collection.Add();
            while (!EndOfList()) {
                ReadProperty(item);
            }
            ReadListEnd();
        }
        ReadListEnd();
    } catch (...) {
        collection.EndUpdate();
        throw;
    }
    collection.EndUpdate();
}

void TReader::FixupReferences()
{
    std::vector<Fixup> pending = std::move(fixups_);
    fixups_.clear();
    for (const Fixup& fixup : pending) {
        TComponent* component = root_->FindComponent(fixup.name);
        if (component == nullptr && SameText(root_->Name(), fixup.name)) {
            component = root_;
        }
        if (component == nullptr && GlobalFinder()) {
            component = GlobalFinder()(fixup.name);
        }
        // A name that resolves nowhere leaves the property as it was.
        if (component != nullptr) {
            fixup.property->setObject(fixup.instance, component);
        }
    }
}

}  // namespace fw
