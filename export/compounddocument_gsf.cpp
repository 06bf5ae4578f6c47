#include "compounddocument.h"

#include "records/error.h"
#include "records/utf8path.h"

// Only these libgsf headers: its all-in-one header clashes with Qt's.
#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-stdio.h>
#include <gsf/gsf-utils.h>

#include <cerrno>
#include <climits>
#include <mutex>

namespace zent5 {
namespace {

void initGsf()
{
    static std::once_flag once;
    std::call_once(once, [] { gsf_init(); });
}

// libgsf's output errors carry errno as their code; a target that exists but
// is no regular file (a folder, say) comes with code 0.
int32_t storageCode(const GError* e)
{
    if (!e || e->domain != gsf_output_error_id())
        return storage::kFail;
    switch (e->code) {
    case 0:
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
        return storage::kAccessDenied;
    case ENOENT:
    case ENOTDIR:
    case ELOOP:
        return storage::kPathNotFound;
    case ENAMETOOLONG:
        return storage::kInvalidName;
    case EMFILE:
    case ENFILE:
        return storage::kTooManyOpenFiles;
    case ENOMEM:
        return storage::kInsufficientMemory;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return storage::kMediumFull;
    case EIO:
        return storage::kWriteFault;
    default:
        return storage::kFail;
    }
}

std::string platformText(const GError* e)
{
    if (e && e->domain == gsf_output_error_id() && e->code > 0)
        return g_strerror(e->code);
    if (e && e->message)
        return e->message;
    return g_strerror(EIO);
}

Error codeError(const char* call, int32_t code) { return Error(std::string(call) + " error " + std::to_string(code)); }

// Owns the three libgsf objects of one save. Unless the save is committed,
// the temporary file is dropped: an error set on the sink makes its close
// delete the file instead of renaming it over the target.
class GsfSave {
public:
    explicit GsfSave(GsfOutput* sink) : m_sink(sink) {}
    GsfSave(const GsfSave&) = delete;
    GsfSave& operator=(const GsfSave&) = delete;
    ~GsfSave()
    {
        if (!m_committed)
            abandon();
        if (m_child)
            g_object_unref(m_child);
        if (m_ole)
            g_object_unref(m_ole);
        g_object_unref(m_sink);
    }

    GsfOutput* sink() const { return m_sink; }
    GsfOutfile* ole() const { return m_ole; }
    GsfOutput* child() const { return m_child; }
    void setOle(GsfOutfile* ole) { m_ole = ole; }
    void setChild(GsfOutput* child) { m_child = child; }

    // Closes stream, document and file; returns the sink's error, if any.
    const GError* commit()
    {
        bool ok = gsf_output_close(m_child);
        ok = gsf_output_close(GSF_OUTPUT(m_ole)) && ok;
        if (!gsf_output_is_closed(m_sink))
            ok = gsf_output_close(m_sink) && ok;
        if (const GError* e = gsf_output_error(m_sink))
            return e;
        if (!ok) {
            if (const GError* e = gsf_output_error(GSF_OUTPUT(m_ole)))
                return e;
            if (const GError* e = gsf_output_error(m_child))
                return e;
            gsf_output_set_error(m_sink, EIO, "%s", g_strerror(EIO));
            return gsf_output_error(m_sink);
        }
        m_committed = true;
        return nullptr;
    }

private:
    void abandon()
    {
        if (!gsf_output_error(m_sink))
            gsf_output_set_error(m_sink, 0, "save abandoned");
        if (m_child && !gsf_output_is_closed(m_child))
            gsf_output_close(m_child);
        if (m_ole && !gsf_output_is_closed(GSF_OUTPUT(m_ole)))
            gsf_output_close(GSF_OUTPUT(m_ole));
        if (!gsf_output_is_closed(m_sink))
            gsf_output_close(m_sink);
    }

    GsfOutput* m_sink;
    GsfOutfile* m_ole = nullptr;
    GsfOutput* m_child = nullptr;
    bool m_committed = false;
};

// The document's one stream. libgsf keeps a stream's bytes in one run of
// the file, so going back to fill in a field is a seek there and back.
class GsfStreamSink : public ByteSink {
public:
    GsfStreamSink(GsfOutput* sink, GsfOutput* child) : m_sink(sink), m_child(child) {}

    void write(const uint8_t* data, size_t n) override
    {
        if (!gsf_output_write(m_child, n, data) || gsf_output_error(m_sink))
            fail();
    }

    void overwrite(size_t at, const uint8_t* data, size_t n) override
    {
        const gsf_off_t end = gsf_output_tell(m_child);
        if (gsf_off_t(at + n) > end)
            throw Error(platformText(nullptr));
        if (!gsf_output_seek(m_child, gsf_off_t(at), G_SEEK_SET) || !gsf_output_write(m_child, n, data) ||
            !gsf_output_seek(m_child, end, G_SEEK_SET) || gsf_output_error(m_sink))
            fail();
    }

private:
    [[noreturn]] void fail()
    {
        const GError* e = gsf_output_error(m_sink);
        throw Error(platformText(e ? e : gsf_output_error(m_child)));
    }

    GsfOutput* m_sink;
    GsfOutput* m_child;
};

} // namespace

void writeCompoundDocument(const std::string& path, const std::string& streamName, const std::vector<uint8_t>& bytes)
{
    writeCompoundDocument(path, streamName, [&](ByteSink& sink) { sink.write(bytes.data(), bytes.size()); });
}

void writeCompoundDocument(const std::string& path, const std::string& streamName,
                           const std::function<void(ByteSink&)>& produce)
{
    initGsf();

    // The document is first built under a short temporary name, so a name
    // the folder cannot hold would only fail at the very end.
    if (utf8Of(pathFromUtf8(path).filename()).size() > NAME_MAX)
        throw codeError("StgCreateDocFile", storage::kInvalidName);

    GError* err = nullptr;
    GsfOutput* sink = gsf_output_stdio_new(path.c_str(), &err);
    if (!sink) {
        const int32_t code = storageCode(err);
        if (err)
            g_error_free(err);
        throw codeError("StgCreateDocFile", code);
    }
    GsfSave save(sink);

    save.setOle(gsf_outfile_msole_new(sink));
    if (!save.ole())
        throw codeError("StgCreateDocFile", storageCode(gsf_output_error(sink)));

    save.setChild(gsf_outfile_new_child(save.ole(), streamName.c_str(), FALSE));
    if (!save.child())
        throw codeError("CreateStream", storageCode(gsf_output_error(sink)));

    GsfStreamSink stream(sink, save.child());
    produce(stream);
    if (const GError* e = save.commit())
        throw Error(platformText(e));
}

} // namespace zent5
