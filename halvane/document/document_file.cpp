#include "halvane/document/document_file.h"

#include <algorithm>
#include <cstring>

#include "halvane/syntax/find_bytes.h"
#include "halvane/syntax/lexer.h"
#include "halvane/syntax/parser.h"
#include "halvane/document/security_handler.h"

namespace halvane {

namespace {

constexpr int kMaxRefChain = 32;
constexpr int kMaxPageTreeDepth = 64;
constexpr int kMaxPages = 1000000;
constexpr size_t kMaxObjectStreamBytes = 64u << 20;

bool ReadRect(const Object& obj, Document& doc, Rect* out)
{
    const Object& a = doc.Resolve(obj);
    if (!a.IsArray() || a.ArraySize() < 4)
        return false;
    double v[4];
    for (size_t i = 0; i < 4; ++i) {
        const Object& n = doc.Resolve(a.At(i));
        if (!n.IsNumber())
            return false;
        v[i] = n.GetNumber();
    }
    out->x0 = std::min(v[0], v[2]);
    out->x1 = std::max(v[0], v[2]);
    out->y0 = std::min(v[1], v[3]);
    out->y1 = std::max(v[1], v[3]);
    return out->Width() > 0 && out->Height() > 0;
}

}  // namespace

Document::~Document() = default;

std::unique_ptr<Document> Document::Open(ByteSource source, OpenStatus* status)
{
    std::unique_ptr<Document> doc(new Document());
    doc->source_ = std::move(source);
    if (!doc->Load(status))
        return nullptr;
    return doc;
}

ResolveFn Document::Resolver()
{
    return [this](const Object& o) -> const Object& { return Resolve(o); };
}

bool Document::Rebuild()
{
    if (repaired_)
        return false;
    repaired_ = true;
    // Objects already handed out stay cached: callers may hold references to them.
    std::vector<int> objectStreams;
    if (!RebuildXref(source_.Data(), source_.Size(), &xref_, &objectStreams))
        return false;
    // Objects inside object streams, where no plain definition exists.
    for (int streamNum : objectStreams) {
        const ObjectStream* os = LoadObjectStream(streamNum);
        if (!os)
            continue;
        for (size_t i = 0; i < os->offsets.size(); ++i) {
            XrefEntry e;
            e.kind = XrefEntry::Compressed;
            e.offset = static_cast<uint64_t>(streamNum);
            e.index = static_cast<uint32_t>(i);
            xref_.AddIfUnset(os->offsets[i].first, e);
        }
    }
    if (!xref_.trailer.Get("Root").IsRef()) {
        // No trailer survived: find the catalog among the objects.
        for (int num = 1; num < xref_.Size(); ++num) {
            const XrefEntry* e = xref_.Find(num);
            if (!e || e->kind == XrefEntry::Free)
                continue;
            const Object& obj = GetObject(num);
            if (obj.IsDict() && obj["Type"].IsName("Catalog") && obj["Pages"].IsRef()) {
                xref_.trailer.Set("Root", Object::MakeRef(Ref{num, 0}));
                break;
            }
        }
    }
    return xref_.trailer.Get("Root").IsRef();
}

bool Document::Load(OpenStatus* status)
{
    *status = OpenStatus::Unreadable;
    const uint8_t* data = source_.Data();
    const size_t size = source_.Size();
    // The header may follow some junk; without "%PDF" anywhere near the start this is no PDF.
    if (!FindBytes(data, std::min<size_t>(size, 1024), "%PDF", 4))
        return false;
    if (!ReadXref(data, size, &xref_) || !xref_.trailer.Get("Root").IsRef()) {
        if (!Rebuild())
            return false;
    }
    // Encryption must be known before any other object is read.
    const Object& encryptRef = xref_.trailer.Get("Encrypt");
    if (!encryptRef.IsNull()) {
        if (encryptRef.IsRef())
            encryptNum_ = encryptRef.GetRef().num;
        const Object& encrypt = Resolve(encryptRef);
        if (!encrypt.IsDict())
            return false;
        Dict resolved;
        for (const auto& item : encrypt.GetDict().Items()) {
            const Object& v = Resolve(item.second);
            if (item.first == "CF" && v.IsDict()) {
                Dict filters;
                for (const auto& cf : v.GetDict().Items()) {
                    const Object& cfv = Resolve(cf.second);
                    Dict inner;
                    for (const auto& f : cfv.GetDict().Items())
                        inner.Set(f.first, Resolve(f.second));
                    filters.Set(cf.first, Object::MakeDict(inner));
                }
                resolved.Set(item.first, Object::MakeDict(filters));
            } else {
                resolved.Set(item.first, v);
            }
        }
        const Object& id = Resolve(xref_.trailer.Get("ID"));
        const std::string firstId = Resolve(id.At(0)).Str();
        SecurityStatus secStatus;
        decryptor_ = OpenDecryptor(resolved, firstId, &secStatus);
        if (!decryptor_) {
            if (secStatus == SecurityStatus::NeedsPassword)
                *status = OpenStatus::NeedsPassword;
            return false;
        }
        // Objects read so far (the /Encrypt dictionary itself) are in clear text.
        const Object keep = encrypt;
        cache_.clear();
        objectStreams_.clear();
        if (encryptNum_ >= 0)
            cache_[encryptNum_] = keep;
    }
    if (!LoadPageTree()) {
        if (repaired_ || !Rebuild() || !LoadPageTree())
            return false;
    }
    *status = OpenStatus::Ok;
    return true;
}

const PageEntry* Document::Page(int index) const
{
    if (index < 0 || index >= static_cast<int>(pages_.size()))
        return nullptr;
    return &pages_[static_cast<size_t>(index)];
}

const Object& Document::Resolve(const Object& obj)
{
    const Object* cur = &obj;
    for (int i = 0; i < kMaxRefChain && cur->IsRef(); ++i)
        cur = &GetObject(cur->GetRef().num);
    return cur->IsRef() ? NullObject() : *cur;
}

bool Document::Fetch(int num, Object* out)
{
    const XrefEntry* entry = xref_.Find(num);
    if (!entry || entry->kind == XrefEntry::Free || loading_.count(num))
        return false;
    loading_.insert(num);
    const bool ok = entry->kind == XrefEntry::Plain ? FetchPlain(num, *entry, out) : FetchCompressed(num, *entry, out);
    loading_.erase(num);
    return ok;
}

const Object& Document::GetObject(int num)
{
    auto it = cache_.find(num);
    if (it != cache_.end()) {
        // An object that failed with the damaged table gets one more try with the rebuilt one,
        // in its own slot: references to it stay valid (iterators may not, hence the reference).
        Object& slot = it->second;
        if (repaired_ && loading_.empty() && failedBeforeRepair_.erase(num)) {
            Object obj;
            if (Fetch(num, &obj))
                slot = std::move(obj);
        }
        return slot;
    }
    const XrefEntry* entry = xref_.Find(num);
    if (!entry || entry->kind == XrefEntry::Free || loading_.count(num))
        return NullObject();
    Object obj;
    bool ok = Fetch(num, &obj);
    if (!ok && !repaired_ && loading_.empty()) {
        // The table points at the wrong place: rebuild it once and retry.
        if (Rebuild())
            ok = Fetch(num, &obj);
    } else if (!ok && !repaired_) {
        failedBeforeRepair_.insert(num);
    }
    if (!ok)
        obj = Object();
    return cache_.emplace(num, std::move(obj)).first->second;
}

bool Document::FetchPlain(int num, const XrefEntry& entry, Object* out)
{
    const uint8_t* data = source_.Data();
    const size_t size = source_.Size();
    if (entry.offset >= size)
        return false;
    Lexer lx(data, size, static_cast<size_t>(entry.offset));
    Parser parser(lx, true);
    Ref ref;
    size_t streamStart = 0;
    if (!parser.ParseIndirect(&ref, out, &streamStart) || ref.num != num)
        return false;
    if (decryptor_ && num != encryptNum_)
        DecryptStrings(out, ref, 0);
    if (!out->IsStream())
        return true;
    StreamInfo info = *out->GetStream();
    // Trust /Length only when "endstream" follows it; else search for the keyword.
    const Object& lengthObj = Resolve(info.dict.Get("Length"));
    bool lengthOk = false;
    if (lengthObj.IsInt() && lengthObj.GetInt() >= 0 &&
        static_cast<uint64_t>(lengthObj.GetInt()) <= size - streamStart) {
        size_t end = streamStart + static_cast<size_t>(lengthObj.GetInt());
        size_t p = end;
        while (p < size && IsPdfWhite(data[p]) && p < end + 4)
            ++p;
        if (size - p >= 9 && std::memcmp(data + p, "endstream", 9) == 0) {
            info.length = end - streamStart;
            lengthOk = true;
        }
    }
    if (!lengthOk) {
        const uint8_t* hit = FindBytes(data + streamStart, size - streamStart, "endstream", 9);
        size_t end = hit ? static_cast<size_t>(hit - data) : size;
        if (end > streamStart && data[end - 1] == '\n')
            --end;
        if (end > streamStart && data[end - 1] == '\r')
            --end;
        info.length = end - streamStart;
    }
    if (decryptor_ && num != encryptNum_) {
        const bool isXref = info.dict.Get("Type").IsName("XRef");
        const bool clearMetadata = info.dict.Get("Type").IsName("Metadata") && !decryptor_->EncryptsMetadata();
        info.encrypted = !isXref && !clearMetadata;
    }
    *out = Object::MakeStream(std::move(info));
    return true;
}

void Document::DecryptStrings(Object* obj, Ref ref, int depth)
{
    if (depth > kMaxObjectDepth)
        return;
    switch (obj->Type()) {
    case ObjType::String:
        *obj = Object::MakeString(decryptor_->DecryptString(ref, obj->Str()));
        break;
    case ObjType::Array: {
        Array items = obj->GetArray();
        for (auto& item : items)
            DecryptStrings(&item, ref, depth + 1);
        *obj = Object::MakeArray(std::move(items));
        break;
    }
    case ObjType::Dict:
    case ObjType::Stream: {
        Dict d;
        for (const auto& item : obj->GetDict().Items()) {
            Object v = item.second;
            DecryptStrings(&v, ref, depth + 1);
            d.Set(item.first, std::move(v));
        }
        if (obj->IsDict()) {
            *obj = Object::MakeDict(std::move(d));
        } else {
            StreamInfo info = *obj->GetStream();
            info.dict = std::move(d);
            *obj = Object::MakeStream(std::move(info));
        }
        break;
    }
    default:
        break;
    }
}

const Document::ObjectStream* Document::LoadObjectStream(int num)
{
    auto it = objectStreams_.find(num);
    if (it != objectStreams_.end())
        return it->second.get();
    objectStreams_[num] = nullptr;  // guards against a stream that contains itself
    const Object& stream = GetObject(num);
    if (!stream.IsStream())
        return nullptr;
    auto os = std::make_unique<ObjectStream>();
    DecodedData decoded;
    if (!DecodeStream(stream, kMaxObjectStreamBytes, &decoded) || !decoded.imageCodec.empty())
        return nullptr;
    os->data.swap(decoded.bytes);
    const int count = Resolve(stream["N"]).GetIntClamped(0);
    const int64_t first = Resolve(stream["First"]).GetInt(-1);
    if (count <= 0 || first < 0 || static_cast<uint64_t>(first) > os->data.size())
        return nullptr;
    const uint8_t* d = reinterpret_cast<const uint8_t*>(os->data.data());
    Lexer lx(d, static_cast<size_t>(first));
    Token a, b;
    for (int i = 0; i < count && i < kMaxObjectNumber; ++i) {
        if (!lx.Next(a) || !lx.Next(b) || a.type != TokType::Int || b.type != TokType::Int)
            break;
        const uint64_t room = static_cast<uint64_t>(os->data.size()) - static_cast<uint64_t>(first);
        if (a.i < 0 || a.i > kMaxObjectNumber || b.i < 0 || static_cast<uint64_t>(b.i) > room)
            continue;
        os->offsets.emplace_back(static_cast<int>(a.i), static_cast<size_t>(first + b.i));
    }
    const ObjectStream* result = os.get();
    objectStreams_[num] = std::move(os);
    return result;
}

bool Document::FetchCompressed(int num, const XrefEntry& entry, Object* out)
{
    const ObjectStream* os = LoadObjectStream(static_cast<int>(entry.offset));
    if (!os)
        return false;
    size_t offset = 0;
    bool found = false;
    if (entry.index < os->offsets.size() && os->offsets[entry.index].first == num) {
        offset = os->offsets[entry.index].second;
        found = true;
    } else {
        for (const auto& p : os->offsets) {
            if (p.first == num) {
                offset = p.second;
                found = true;
                break;
            }
        }
    }
    if (!found)
        return false;
    const uint8_t* d = reinterpret_cast<const uint8_t*>(os->data.data());
    Lexer lx(d, os->data.size(), offset);
    Parser parser(lx, true);
    return parser.ParseObject(out);
}

bool Document::RawStreamData(const Object& stream, std::string* out)
{
    const StreamInfo* info = stream.GetStream();
    if (!info || info->offset > source_.Size() || info->length > source_.Size() - info->offset)
        return false;
    out->assign(reinterpret_cast<const char*>(source_.Data() + info->offset), info->length);
    if (info->encrypted && decryptor_) {
        // A stream with a /Crypt filter of its own uses the crypt filter it names (Identity: none).
        const Object& filter = Resolve(info->dict.Get("Filter"));
        const Object& first = filter.IsArray() ? Resolve(filter.At(0)) : filter;
        if (first.IsName("Crypt")) {
            const Object& parms = Resolve(info->dict.Get("DecodeParms"));
            const Object& firstParms = parms.IsArray() ? Resolve(parms.At(0)) : parms;
            const Object& name = Resolve(firstParms["Name"]);
            if (name.IsName() && !name.IsName("Identity"))
                *out = decryptor_->DecryptStreamWithFilter(name.Str(), info->ref, *out);
        } else {
            *out = decryptor_->DecryptStream(info->ref, *out);
        }
    }
    return true;
}

bool Document::DecodeStream(const Object& stream, size_t maxOutput, DecodedData* out)
{
    const StreamInfo* info = stream.GetStream();
    if (!info)
        return false;
    std::string raw;
    if (!RawStreamData(stream, &raw))
        return false;
    return DecodeFilters(reinterpret_cast<const uint8_t*>(raw.data()), raw.size(), info->dict.Get("Filter"),
                         info->dict.Get("DecodeParms"), Resolver(), maxOutput, out);
}

bool Document::LoadPageTree()
{
    pages_.clear();
    const Object& root = Resolve(xref_.trailer.Get("Root"));
    if (!root.IsDict())
        return false;
    const Object& pagesRoot = root["Pages"];
    std::unordered_set<int> visited;
    CollectPages(pagesRoot, Object(), nullptr, nullptr, 0, 0, visited);
    return !pages_.empty();
}

void Document::CollectPages(const Object& nodeRef, const Object& resources, const Rect* media, const Rect* crop,
                            int rotate, int depth, std::unordered_set<int>& visited)
{
    if (depth > kMaxPageTreeDepth || pages_.size() >= static_cast<size_t>(kMaxPages))
        return;
    if (nodeRef.IsRef() && !visited.insert(nodeRef.GetRef().num).second)
        return;  // a cycle or a page listed twice
    const Object& node = Resolve(nodeRef);
    if (!node.IsDict())
        return;
    Object res = node["Resources"].IsNull() ? resources : node["Resources"];
    Rect mediaBox, cropBox;
    const Rect* m = media;
    const Rect* c = crop;
    if (ReadRect(node["MediaBox"], *this, &mediaBox))
        m = &mediaBox;
    if (ReadRect(node["CropBox"], *this, &cropBox))
        c = &cropBox;
    const Object& rot = Resolve(node["Rotate"]);
    if (rot.IsNumber())
        rotate = static_cast<int>(((rot.GetInt() % 360) + 360) % 360);
    const Object& kids = Resolve(node["Kids"]);
    const bool isPages = node["Type"].IsName("Pages") || (kids.IsArray() && !node["Type"].IsName("Page"));
    if (isPages) {
        for (size_t i = 0; i < kids.ArraySize(); ++i)
            CollectPages(kids.At(i), res, m, c, rotate, depth + 1, visited);
        return;
    }
    PageEntry entry;
    entry.page = node;
    entry.resources = res;
    entry.mediaBox = m ? *m : Rect{0, 0, 612, 792};
    entry.cropBox = c ? *c : entry.mediaBox;
    // The visible area is the crop box within the media box.
    entry.cropBox.x0 = std::max(entry.cropBox.x0, entry.mediaBox.x0);
    entry.cropBox.y0 = std::max(entry.cropBox.y0, entry.mediaBox.y0);
    entry.cropBox.x1 = std::min(entry.cropBox.x1, entry.mediaBox.x1);
    entry.cropBox.y1 = std::min(entry.cropBox.y1, entry.mediaBox.y1);
    if (entry.cropBox.Width() <= 0 || entry.cropBox.Height() <= 0)
        entry.cropBox = entry.mediaBox;
    entry.rotate = (rotate / 90) * 90;
    pages_.push_back(std::move(entry));
}

}  // namespace halvane
