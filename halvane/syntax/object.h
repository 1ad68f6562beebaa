// PDF object model (ISO 32000-1, 7.3): the nine basic object kinds plus indirect references.
// Objects are values; arrays, dictionaries and streams are shared, so copying an Object is cheap.
#ifndef HALVANE_OBJECT_H
#define HALVANE_OBJECT_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace halvane {

enum class ObjType : uint8_t { Null, Bool, Int, Real, Name, String, Array, Dict, Stream, Ref };

struct Ref {
    int num = 0;
    int gen = 0;
};

class Object;
using Array = std::vector<Object>;

class Dict {
public:
    // Null object when the key is absent. Keys are names without the slash.
    const Object& Get(std::string_view key) const;
    bool Has(std::string_view key) const;
    void Set(std::string key, Object value);
    size_t Size() const { return items_.size(); }
    const std::vector<std::pair<std::string, Object>>& Items() const { return items_; }

private:
    std::vector<std::pair<std::string, Object>> items_;
};

// Stream data stays in the file buffer: offset and length locate the raw (still filtered and
// possibly encrypted) bytes. `ref` is the object that owns the stream, which decryption needs.
struct StreamInfo {
    Dict dict;
    size_t offset = 0;
    size_t length = 0;
    Ref ref;
    bool encrypted = false;  // set when the owning document decrypts this stream
};

class Object {
public:
    Object() = default;
    static Object MakeBool(bool v);
    static Object MakeInt(int64_t v);
    static Object MakeReal(double v);
    static Object MakeName(std::string v);
    static Object MakeString(std::string v);
    static Object MakeArray(Array v);
    static Object MakeDict(Dict v);
    static Object MakeStream(StreamInfo v);
    static Object MakeRef(Ref r);

    ObjType Type() const { return type_; }
    bool IsNull() const { return type_ == ObjType::Null; }
    bool IsBool() const { return type_ == ObjType::Bool; }
    bool IsInt() const { return type_ == ObjType::Int; }
    bool IsNumber() const { return type_ == ObjType::Int || type_ == ObjType::Real; }
    bool IsName() const { return type_ == ObjType::Name; }
    bool IsName(std::string_view n) const { return type_ == ObjType::Name && str_ == n; }
    bool IsString() const { return type_ == ObjType::String; }
    bool IsArray() const { return type_ == ObjType::Array; }
    bool IsDict() const { return type_ == ObjType::Dict; }
    bool IsStream() const { return type_ == ObjType::Stream; }
    bool IsRef() const { return type_ == ObjType::Ref; }

    bool GetBool(bool fallback = false) const { return type_ == ObjType::Bool ? b_ : fallback; }
    int64_t GetInt(int64_t fallback = 0) const;
    // Clamped to int range, for counts and indices read from files.
    int GetIntClamped(int fallback = 0) const;
    double GetNumber(double fallback = 0) const;
    // Name or string bytes; empty for other kinds.
    const std::string& Str() const { return str_; }
    const Array& GetArray() const;
    // The dictionary of a dictionary or of a stream; an empty one otherwise.
    const Dict& GetDict() const;
    const StreamInfo* GetStream() const { return type_ == ObjType::Stream ? stream_.get() : nullptr; }
    Ref GetRef() const { return ref_; }

    // Shorthands over GetDict() and GetArray().
    const Object& operator[](std::string_view key) const { return GetDict().Get(key); }
    size_t ArraySize() const { return type_ == ObjType::Array ? array_->size() : 0; }
    const Object& At(size_t i) const;

private:
    ObjType type_ = ObjType::Null;
    bool b_ = false;
    int64_t i_ = 0;
    double r_ = 0;
    Ref ref_;
    std::string str_;
    std::shared_ptr<Array> array_;
    std::shared_ptr<Dict> dict_;
    std::shared_ptr<StreamInfo> stream_;
};

const Object& NullObject();

}  // namespace halvane

#endif
