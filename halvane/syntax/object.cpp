#include "halvane/syntax/object.h"

#include <climits>
#include <cmath>

namespace halvane {

const Object& NullObject()
{
    static const Object null;
    return null;
}

const Object& Dict::Get(std::string_view key) const
{
    for (const auto& item : items_)
        if (item.first == key)
            return item.second;
    return NullObject();
}

bool Dict::Has(std::string_view key) const
{
    for (const auto& item : items_)
        if (item.first == key)
            return true;
    return false;
}

void Dict::Set(std::string key, Object value)
{
    for (auto& item : items_) {
        if (item.first == key) {
            item.second = std::move(value);
            return;
        }
    }
    items_.emplace_back(std::move(key), std::move(value));
}

Object Object::MakeBool(bool v)
{
    Object o;
    o.type_ = ObjType::Bool;
    o.b_ = v;
    return o;
}

Object Object::MakeInt(int64_t v)
{
    Object o;
    o.type_ = ObjType::Int;
    o.i_ = v;
    return o;
}

Object Object::MakeReal(double v)
{
    Object o;
    o.type_ = ObjType::Real;
    o.r_ = std::isfinite(v) ? v : 0.0;
    return o;
}

Object Object::MakeName(std::string v)
{
    Object o;
    o.type_ = ObjType::Name;
    o.str_ = std::move(v);
    return o;
}

Object Object::MakeString(std::string v)
{
    Object o;
    o.type_ = ObjType::String;
    o.str_ = std::move(v);
    return o;
}

Object Object::MakeArray(Array v)
{
    Object o;
    o.type_ = ObjType::Array;
    o.array_ = std::make_shared<Array>(std::move(v));
    return o;
}

Object Object::MakeDict(Dict v)
{
    Object o;
    o.type_ = ObjType::Dict;
    o.dict_ = std::make_shared<Dict>(std::move(v));
    return o;
}

Object Object::MakeStream(StreamInfo v)
{
    Object o;
    o.type_ = ObjType::Stream;
    o.stream_ = std::make_shared<StreamInfo>(std::move(v));
    return o;
}

Object Object::MakeRef(Ref r)
{
    Object o;
    o.type_ = ObjType::Ref;
    o.ref_ = r;
    return o;
}

int64_t Object::GetInt(int64_t fallback) const
{
    if (type_ == ObjType::Int)
        return i_;
    if (type_ == ObjType::Real && r_ > -9.0e18 && r_ < 9.0e18)
        return static_cast<int64_t>(r_);
    return fallback;
}

int Object::GetIntClamped(int fallback) const
{
    if (!IsNumber())
        return fallback;
    const int64_t v = GetInt(fallback);
    if (v > INT_MAX)
        return INT_MAX;
    if (v < INT_MIN)
        return INT_MIN;
    return static_cast<int>(v);
}

double Object::GetNumber(double fallback) const
{
    if (type_ == ObjType::Int)
        return static_cast<double>(i_);
    if (type_ == ObjType::Real)
        return r_;
    return fallback;
}

const Array& Object::GetArray() const
{
    static const Array empty;
    return type_ == ObjType::Array ? *array_ : empty;
}

const Dict& Object::GetDict() const
{
    static const Dict empty;
    if (type_ == ObjType::Dict)
        return *dict_;
    if (type_ == ObjType::Stream)
        return stream_->dict;
    return empty;
}

const Object& Object::At(size_t i) const
{
    if (type_ != ObjType::Array || i >= array_->size())
        return NullObject();
    return (*array_)[i];
}

}  // namespace halvane
