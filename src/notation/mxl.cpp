#include "notation/mxl.h"

#include "notation/capella.h"

#ifdef TONFEX_HAVE_LIBZIP
#include <zip.h>

#include <memory>
#endif

namespace tonfex {

#ifdef TONFEX_HAVE_LIBZIP
namespace {

struct ArchiveCloser {
    void operator()(zip_t* z) const { zip_discard(z); }
};
using Archive = std::unique_ptr<zip_t, ArchiveCloser>;

// The entry `name`, at most `limit` bytes; "" and `tooLarge` when it holds more.
std::optional<std::string> entry(zip_t* z, const std::string& name, size_t limit,
                                 bool& tooLarge) {
    zip_file_t* f = zip_fopen(z, name.c_str(), 0);
    if (!f) return std::nullopt;
    std::string data;
    char chunk[65536];
    zip_int64_t n;
    while ((n = zip_fread(f, chunk, sizeof chunk)) > 0) {
        data.append(chunk, static_cast<size_t>(n));
        if (data.size() > limit) {
            tooLarge = true;
            break;
        }
    }
    zip_fclose(f);
    if (n < 0 && !tooLarge) return std::nullopt;
    return data;
}

} // namespace

MxlScore unpackMxl(const std::string& bytes, size_t limit, const std::string& fileText) {
    MxlScore out;
    const std::string damaged = fileText + " ist kein lesbares komprimiertes MusicXML (.mxl)";
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    zip_error_fini(&error);
    if (!source) {
        out.error = damaged;
        return out;
    }
    zip_error_init(&error);
    Archive z(zip_open_from_source(source, ZIP_RDONLY, &error));
    zip_error_fini(&error);
    if (!z) {
        zip_source_free(source);
        out.error = damaged;
        return out;
    }
    bool tooLarge = false;
    auto container = entry(z.get(), "META-INF/container.xml", 1 << 20, tooLarge);
    std::string root;
    if (container)
        scanXml(*container, [&root](XmlToken&& t) {
            if (root.empty() && t.kind != XmlToken::Kind::Text && t.kind != XmlToken::Kind::End &&
                (t.name == "rootfile" || t.name.ends_with(":rootfile")))
                root = t.attribute("full-path").value_or("");
        });
    if (root.empty()) {
        out.error = damaged + ": META-INF/container.xml nennt keine Partitur.";
        return out;
    }
    auto score = entry(z.get(), root, limit, tooLarge);
    if (tooLarge) {
        out.error = fileText + ": die Partitur " + root + " ist größer als " +
                    std::to_string(limit >> 20) + " MB, so große Partituren liest der Import nicht";
    } else if (!score) {
        out.error = damaged + ": " + root + " fehlt im Archiv.";
    } else {
        out.text = std::move(*score);
    }
    return out;
}

#else

MxlScore unpackMxl(const std::string&, size_t, const std::string& fileText) {
    return {"", fileText + ": komprimiertes MusicXML (.mxl) liest diese Fassung nicht; bitte "
                           "unkomprimiert als .musicxml oder .xml exportieren"};
}

#endif

} // namespace tonfex
