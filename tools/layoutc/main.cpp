// layoutc: compiles a readable layout source into the binary layout stream ("TPF0").
//
//   layoutc [-I DIR]... in.layout out.bin
//   layoutc [-I DIR]... --cpp NAME in.layout out.cpp   (a C++ source defining void RegisterLayout_NAME(),
//                                                       which registers the bytes as RT_RCDATA "NAME")
//   -I DIR: a further folder where @file looks, after the source's own (for files made at build time)
//
// Source syntax (one root component; '#' starts a comment that runs to the end of the line):
//   component  := ["inherited" | "inline"] ClassName Name ["[" integer "]"] "{" { property | component } "}"
//                 the bracketed integer is the child position; properties come before children
//   property   := Name { "." Name } "=" value
//   value      := integer          -123, 0x7F: the smallest of 8/16/32-bit, 64-bit beyond that
//               | float            1.5, 10.0, -2e3: 80-bit extended
//               | string { string } "text" with \" \\ \xNN; bytes are cp1252; adjacent ones join;
//                                  up to 255 bytes a short string, longer a long string
//               | identifier       True / False (booleans), nil, or any other name (clBtnFace, bmWindows,
//                                  component references, handler names)
//               | "[" [identifier { "," identifier }] "]"      a set
//               | "(" [value { "," value }] ")"                  a list (string lists' Strings)
//               | "<" { ["[" integer "]"] "item" "{" { property } "}" } ">"   a collection
//               | part { part }    binary data, the parts concatenated:
//                   @short("text")        a length byte and the bytes
//                   @raw("text")          the bytes
//                   @hex("00 ff 10")      bytes in hexadecimal
//                   @file("path")         a file's bytes (path relative to the source's folder or a -I folder)
//                   @file("path", sized)  a file preceded by its size as 4 bytes little-endian
// Errors are reported as "file:line: message" with exit code 1.

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "framework/ClassesLayoutFormat.h"

namespace {

struct CompileError {
    int line;
    std::string message;
};

enum class Tok { End, Ident, Integer, Float, String, At, Punct };

struct Token {
    Tok kind = Tok::End;
    std::string text;  // identifier, string bytes, punctuation, number spelling
    int line = 1;
};

class Lexer {
public:
    explicit Lexer(std::string source) : src_(std::move(source)) {}

    Token Next()
    {
        SkipBlanks();
        Token t;
        t.line = line_;
        if (pos_ >= src_.size()) {
            return t;
        }
        const char c = src_[pos_];
        if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            t.kind = Tok::Ident;
            while (pos_ < src_.size() && (std::isalnum(static_cast<unsigned char>(src_[pos_])) || src_[pos_] == '_')) {
                t.text += src_[pos_++];
            }
            return t;
        }
        if (std::isdigit(static_cast<unsigned char>(c)) ||
            (c == '-' && pos_ + 1 < src_.size() && std::isdigit(static_cast<unsigned char>(src_[pos_ + 1])))) {
            return Number(t);
        }
        if (c == '"') {
            return String(t);
        }
        if (c == '@') {
            ++pos_;
            t.kind = Tok::At;
            while (pos_ < src_.size() && std::isalpha(static_cast<unsigned char>(src_[pos_]))) {
                t.text += src_[pos_++];
            }
            return t;
        }
        if (std::strchr("{}[]()<>=,.", c) != nullptr) {
            t.kind = Tok::Punct;
            t.text = std::string(1, c);
            ++pos_;
            return t;
        }
        throw CompileError{line_, std::string("unexpected character '") + c + "'"};
    }

private:
    void SkipBlanks()
    {
        while (pos_ < src_.size()) {
            const char c = src_[pos_];
            if (c == '\n') {
                ++line_;
                ++pos_;
            } else if (c == '#') {
                while (pos_ < src_.size() && src_[pos_] != '\n') {
                    ++pos_;
                }
            } else if (std::isspace(static_cast<unsigned char>(c))) {
                ++pos_;
            } else {
                return;
            }
        }
    }

    Token Number(Token& t)
    {
        bool isFloat = false;
        if (src_[pos_] == '-') {
            t.text += src_[pos_++];
        }
        const bool hex = src_.compare(pos_, 2, "0x") == 0 || src_.compare(pos_, 2, "0X") == 0;
        if (hex) {
            t.text += src_.substr(pos_, 2);
            pos_ += 2;
        }
        while (pos_ < src_.size()) {
            const char c = src_[pos_];
            if (std::isdigit(static_cast<unsigned char>(c)) || (hex && std::isxdigit(static_cast<unsigned char>(c)))) {
                t.text += c;
            } else if (!hex && (c == '.' || c == 'e' || c == 'E' ||
                                ((c == '-' || c == '+') && (t.text.back() == 'e' || t.text.back() == 'E')))) {
                isFloat = true;
                t.text += c;
            } else {
                break;
            }
            ++pos_;
        }
        t.kind = isFloat ? Tok::Float : Tok::Integer;
        return t;
    }

    Token String(Token& t)
    {
        t.kind = Tok::String;
        ++pos_;
        for (;;) {
            if (pos_ >= src_.size() || src_[pos_] == '\n') {
                throw CompileError{t.line, "unterminated string"};
            }
            char c = src_[pos_++];
            if (c == '"') {
                return t;
            }
            if (c == '\\') {
                if (pos_ >= src_.size()) {
                    throw CompileError{t.line, "unterminated string"};
                }
                c = src_[pos_++];
                if (c == 'x') {
                    if (pos_ + 2 > src_.size() || !std::isxdigit(static_cast<unsigned char>(src_[pos_])) ||
                        !std::isxdigit(static_cast<unsigned char>(src_[pos_ + 1]))) {
                        throw CompileError{t.line, "\\x needs two hexadecimal digits"};
                    }
                    c = static_cast<char>(std::stoi(src_.substr(pos_, 2), nullptr, 16));
                    pos_ += 2;
                } else if (c != '"' && c != '\\') {
                    throw CompileError{t.line, std::string("unknown escape \\") + c};
                }
            }
            t.text += c;
        }
    }

    std::string src_;
    std::size_t pos_ = 0;
    int line_ = 1;
};

using enum fw::TValueType;

class Compiler {
public:
    Compiler(std::string source, std::vector<std::filesystem::path> folders)
        : lex_(std::move(source)), folders_(std::move(folders))
    {
        Advance();
    }

    std::vector<std::uint8_t> Compile()
    {
        Out(std::string_view(fw::FilerSignature, sizeof fw::FilerSignature));
        Component(ExpectIdent("the root component's class"));
        if (tok_.kind != Tok::End) {
            Fail("text after the root component");
        }
        return out_;
    }

private:
    [[noreturn]] void Fail(const std::string& message) { throw CompileError{tok_.line, message}; }
    void Advance() { tok_ = lex_.Next(); }
    bool IsPunct(const char* p) const { return tok_.kind == Tok::Punct && tok_.text == p; }
    void Expect(const char* p)
    {
        if (!IsPunct(p)) {
            Fail(std::string("expected '") + p + "'");
        }
        Advance();
    }
    std::string ExpectIdent(const char* what)
    {
        if (tok_.kind != Tok::Ident) {
            Fail(std::string("expected ") + what);
        }
        std::string name = tok_.text;
        Advance();
        return name;
    }

    void Byte(std::uint8_t b) { out_.push_back(b); }
    void Byte(fw::TValueType tag) { out_.push_back(static_cast<std::uint8_t>(tag)); }
    void Out(std::string_view bytes) { out_.insert(out_.end(), bytes.begin(), bytes.end()); }
    void Le(std::uint64_t value, int size)
    {
        for (int i = 0; i < size; ++i) {
            Byte(static_cast<std::uint8_t>(value >> (8 * i)));
        }
    }
    void Short(const std::string& text)
    {
        if (text.size() > 255) {
            Fail("a name or short string holds at most 255 bytes");
        }
        Byte(static_cast<std::uint8_t>(text.size()));
        Out(text);
    }

    std::int64_t ParseInteger()
    {
        try {
            std::size_t used = 0;
            const long long value = std::stoll(tok_.text, &used, 0);
            if (used != tok_.text.size()) {
                Fail("malformed integer '" + tok_.text + "'");
            }
            Advance();
            return value;
        } catch (const std::logic_error&) {
            Fail("integer out of range: " + tok_.text);
        }
    }

    void Integer(std::int64_t v)
    {
        if (v >= -128 && v <= 127) {
            Byte(vaInt8);
            Le(static_cast<std::uint64_t>(v), 1);
        } else if (v >= -32768 && v <= 32767) {
            Byte(vaInt16);
            Le(static_cast<std::uint64_t>(v), 2);
        } else if (v >= INT32_MIN && v <= INT32_MAX) {
            Byte(vaInt32);
            Le(static_cast<std::uint64_t>(v), 4);
        } else {
            Byte(vaInt64);
            Le(static_cast<std::uint64_t>(v), 8);
        }
    }

    // first: the record's first word, already read (a flag word or the class name).
    void Component(const std::string& first)
    {
        std::uint8_t flags = 0;
        std::string className = first;
        if (first == "inherited" || first == "inline") {
            flags = first == "inherited" ? fw::ffInherited : fw::ffInline;
            className = ExpectIdent("a class name");
        }
        const std::string name = ExpectIdent("a component name");
        std::int64_t position = 0;
        if (IsPunct("[")) {
            Advance();
            if (tok_.kind != Tok::Integer) {
                Fail("expected a child position");
            }
            position = ParseInteger();
            flags |= fw::ffChildPos;
            Expect("]");
        }
        if (flags != 0) {
            Byte(static_cast<std::uint8_t>(0xF0 | flags));
            if ((flags & fw::ffChildPos) != 0) {
                Integer(position);
            }
        }
        Short(className);
        Short(name);
        Expect("{");
        bool sawChild = false;
        while (!IsPunct("}")) {
            if (tok_.kind == Tok::End) {
                Fail("missing '}' of " + name);
            }
            const std::string head = ExpectIdent("a property or component");
            if (IsPunct("=") || IsPunct(".")) {
                if (sawChild) {
                    Fail("properties must come before child components");
                }
                Property(head);
                continue;
            }
            // A child: compile it into its own buffer, appended after the property list.
            if (!sawChild) {
                Byte(vaNull);
                sawChild = true;
            }
            Component(head);
        }
        Advance();
        if (!sawChild) {
            Byte(vaNull);
        }
        Byte(vaNull);
    }

    void Property(const std::string& head)
    {
        std::string path = head;
        while (IsPunct(".")) {
            Advance();
            path += "." + ExpectIdent("a property name after '.'");
        }
        Expect("=");
        Short(path);
        Value();
    }

    void Value()
    {
        switch (tok_.kind) {
            case Tok::Integer: Integer(ParseInteger()); return;
            case Tok::Float: {
                long double v = 0;
                try {
                    v = std::stold(tok_.text);
                } catch (const std::logic_error&) {
                    Fail("malformed number '" + tok_.text + "'");
                }
                Advance();
                Byte(vaExtended);
                unsigned char raw[sizeof(long double)] = {};
                std::memcpy(raw, &v, sizeof v);
                out_.insert(out_.end(), raw, raw + 10);
                return;
            }
            case Tok::String: {
                std::string text;
                while (tok_.kind == Tok::String) {
                    text += tok_.text;
                    Advance();
                }
                if (text.size() <= 255) {
                    Byte(vaString);
                    Short(text);
                } else {
                    Byte(vaLString);
                    Le(text.size(), 4);
                    Out(text);
                }
                return;
            }
            case Tok::Ident: {
                const std::string ident = tok_.text;
                Advance();
                if (ident == "True") {
                    Byte(vaTrue);
                } else if (ident == "False") {
                    Byte(vaFalse);
                } else if (ident == "nil") {
                    Byte(vaNil);
                } else {
                    Byte(vaIdent);
                    Short(ident);
                }
                return;
            }
            case Tok::At: Binary(); return;
            case Tok::Punct:
                if (IsPunct("[")) {
                    Set();
                    return;
                }
                if (IsPunct("(")) {
                    List();
                    return;
                }
                if (IsPunct("<")) {
                    Collection();
                    return;
                }
                break;
            case Tok::End: break;
        }
        Fail("expected a value");
    }

    void Set()
    {
        Advance();
        Byte(vaSet);
        while (!IsPunct("]")) {
            Short(ExpectIdent("a set member"));
            if (!IsPunct("]")) {
                Expect(",");
            }
        }
        Advance();
        Byte(vaNull);
    }

    void List()
    {
        Advance();
        Byte(vaList);
        while (!IsPunct(")")) {
            Value();
            if (!IsPunct(")")) {
                Expect(",");
            }
        }
        Advance();
        Byte(vaNull);
    }

    void Collection()
    {
        Advance();
        Byte(vaCollection);
        while (!IsPunct(">")) {
            if (IsPunct("[")) {
                Advance();
                if (tok_.kind != Tok::Integer) {
                    Fail("expected an item order");
                }
                Integer(ParseInteger());
                Expect("]");
            }
            if (ExpectIdent("'item'") != "item") {
                Fail("expected 'item'");
            }
            Expect("{");
            Byte(vaList);
            while (!IsPunct("}")) {
                Property(ExpectIdent("a property name"));
            }
            Advance();
            Byte(vaNull);
        }
        Advance();
        Byte(vaNull);
    }

    std::string ExpectString()
    {
        if (tok_.kind != Tok::String) {
            Fail("expected a string");
        }
        std::string text = tok_.text;
        Advance();
        return text;
    }

    void Binary()
    {
        std::vector<std::uint8_t> data;
        while (tok_.kind == Tok::At) {
            const std::string part = tok_.text;
            Advance();
            Expect("(");
            const std::string arg = ExpectString();
            if (part == "short") {
                if (arg.size() > 255) {
                    Fail("@short holds at most 255 bytes");
                }
                data.push_back(static_cast<std::uint8_t>(arg.size()));
                data.insert(data.end(), arg.begin(), arg.end());
            } else if (part == "raw") {
                data.insert(data.end(), arg.begin(), arg.end());
            } else if (part == "hex") {
                AppendHex(arg, data);
            } else if (part == "file") {
                bool sized = false;
                if (IsPunct(",")) {
                    Advance();
                    if (ExpectIdent("'sized'") != "sized") {
                        Fail("expected 'sized'");
                    }
                    sized = true;
                }
                AppendFile(arg, sized, data);
            } else {
                Fail("unknown binary part @" + part);
            }
            Expect(")");
        }
        Byte(vaBinary);
        Le(data.size(), 4);
        out_.insert(out_.end(), data.begin(), data.end());
    }

    void AppendHex(const std::string& text, std::vector<std::uint8_t>& data)
    {
        std::string digits;
        for (char c : text) {
            if (std::isxdigit(static_cast<unsigned char>(c))) {
                digits += c;
            } else if (!std::isspace(static_cast<unsigned char>(c))) {
                Fail("@hex takes hexadecimal digits and blanks only");
            }
        }
        if (digits.size() % 2 != 0) {
            Fail("@hex needs an even number of digits");
        }
        for (std::size_t i = 0; i < digits.size(); i += 2) {
            data.push_back(static_cast<std::uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
        }
    }

    void AppendFile(const std::string& name, bool sized, std::vector<std::uint8_t>& data)
    {
        std::filesystem::path path = folders_.front() / name;
        for (const std::filesystem::path& folder : folders_) {
            std::error_code error;
            if (std::filesystem::is_regular_file(folder / name, error)) {
                path = folder / name;
                break;
            }
        }
        std::ifstream file(path, std::ios::binary);
        if (!file) {
            Fail("cannot read " + path.string());
        }
        const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        if (sized) {
            for (int i = 0; i < 4; ++i) {
                data.push_back(static_cast<std::uint8_t>(bytes.size() >> (8 * i)));
            }
        }
        data.insert(data.end(), bytes.begin(), bytes.end());
    }

    Lexer lex_;
    std::vector<std::filesystem::path> folders_;  // the source's own first
    Token tok_;
    std::vector<std::uint8_t> out_;
};

bool IsIdentifier(const std::string& name)
{
    if (name.empty() || std::isdigit(static_cast<unsigned char>(name[0]))) {
        return false;
    }
    for (char c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') {
            return false;
        }
    }
    return true;
}

std::string CppSource(const std::string& name, const std::string& source, const std::vector<std::uint8_t>& bytes)
{
    std::string out = "// Generated by layoutc from " + source + "; edit the source, not this file.\n";
    out += "#include <cstdint>\n#include <span>\n\n#include \"desktop/Resources.h\"\n\n";
    out += "void RegisterLayout_" + name + "();\n\nnamespace {\n\nconst std::uint8_t layoutBytes[] = {";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        out += (i % 16 == 0 ? "\n    " : " ") + std::to_string(bytes[i]) + ",";
    }
    out += "\n};\n\n}  // namespace\n\nvoid RegisterLayout_" + name + "()\n{\n";
    out += "    desktop::RegisterResource(desktop::RT_RCDATA, \"" + name +
           "\", std::span<const std::uint8_t>(layoutBytes));\n}\n";
    return out;
}

int Usage()
{
    std::cerr
        << "usage: layoutc [-I DIR]... in.layout out.bin\n       layoutc [-I DIR]... --cpp NAME in.layout out.cpp\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    std::vector<std::filesystem::path> includes;
    while (args.size() >= 2 && args[0] == "-I") {
        includes.emplace_back(args[1]);
        args.erase(args.begin(), args.begin() + 2);
    }
    std::string cppName;
    std::size_t first = 0;
    if (!args.empty() && args[0] == "--cpp") {
        if (args.size() != 4) {
            return Usage();
        }
        cppName = args[1];
        if (!IsIdentifier(cppName)) {
            std::cerr << "layoutc: NAME must be an identifier: " << cppName << "\n";
            return 2;
        }
        first = 2;
    } else if (args.size() != 2) {
        return Usage();
    }
    const std::string input = args[first];
    const std::string output = args[first + 1];
    std::ifstream in(input, std::ios::binary);
    if (!in) {
        std::cerr << input << ": cannot open\n";
        return 1;
    }
    const std::string source((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::uint8_t> bytes;
    try {
        includes.insert(includes.begin(), std::filesystem::path(input).parent_path());
        bytes = Compiler(source, includes).Compile();
    } catch (const CompileError& e) {
        std::cerr << input << ":" << e.line << ": " << e.message << "\n";
        return 1;
    }
    std::ofstream out(output, std::ios::binary | std::ios::trunc);
    if (cppName.empty()) {
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    } else {
        out << CppSource(cppName, std::filesystem::path(input).filename().string(), bytes);
    }
    if (!out) {
        std::cerr << output << ": cannot write\n";
        return 1;
    }
    return 0;
}
