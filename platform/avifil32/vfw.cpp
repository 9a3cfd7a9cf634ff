// The file and stream calls, on top of the header reader and the handle tables.
#include "platform/avifil32/vfw.h"

#include <algorithm>
#include <limits>

#include "platform/avifil32/avi_facts.h"
#include "platform/avifil32/avi_headers.h"
#include "platform/avifil32/avi_objects.h"
#include "platform/avifil32/byte_source.h"

namespace {

using namespace tamso::avifile;

HRESULT ErrorOf(ParseStatus status) {
  switch (status) {
    case ParseStatus::kOk:
      return AVIERR_OK;
    case ParseStatus::kBadFormat:
      return AVIERR_BADFORMAT;
    case ParseStatus::kTooManyStreams:
      return AVIERR_UNSUPPORTED;
    case ParseStatus::kNotAvi:
    case ParseStatus::kTruncated:
    case ParseStatus::kReadError:
      break;
  }
  return AVIERR_FILEREAD;
}

LONG AsLong(std::uint32_t value) {
  return static_cast<LONG>(std::min<std::uint32_t>(value, std::numeric_limits<LONG>::max()));
}

}  // namespace

void AVIFileInit() {}
void AVIFileExit() {}

HRESULT AVIFileOpen(PAVIFILE* ppfile, const char* szFile, UINT /*uMode*/, const CLSID* /*lpHandler*/) {
  if (!ppfile || !szFile) return AVIERR_BADPARAM;
  *ppfile = 0;
  const auto source = FileByteSource::Open(szFile);
  if (!source) return AVIERR_FILEOPEN;
  ParseResult parsed = ParseAviHeaders(*source);
  if (parsed.status != ParseStatus::kOk) return ErrorOf(parsed.status);
  *ppfile = AddFile(std::move(parsed.description));
  return AVIERR_OK;
}

HRESULT AVIFileGetStream(PAVIFILE pfile, PAVISTREAM* ppavi, DWORD fccType, LONG lParam) {
  if (ppavi) *ppavi = 0;
  const auto file = FindFile(pfile);
  if (!file) return AVIERR_BADHANDLE;
  if (!ppavi || lParam < 0) return AVIERR_BADPARAM;
  const auto index = FindStream(*file, fccType, static_cast<std::uint32_t>(lParam));
  if (!index) return AVIERR_NODATA;
  *ppavi = AddStreamReference(pfile, *index);
  // The file may have been released by another thread since it was found.
  return *ppavi != 0 ? AVIERR_OK : AVIERR_BADHANDLE;
}

HRESULT AVIFileInfo(PAVIFILE pfile, AVIFILEINFO* pfi, LONG lSize) {
  const auto file = FindFile(pfile);
  if (!file) return AVIERR_BADHANDLE;
  if (!pfi) return AVIERR_BADPARAM;
  if (lSize < static_cast<LONG>(sizeof(AVIFILEINFO))) return AVIERR_BADSIZE;
  *pfi = FileInfoOf(*file);
  return AVIERR_OK;
}

LONG AVIStreamStart(PAVISTREAM pavi) {
  const StreamRef stream = FindStreamRef(pavi);
  if (!stream.file) return -1;
  return AsLong(stream.file->streams[stream.index].header.start);
}

LONG AVIStreamLength(PAVISTREAM pavi) {
  const StreamRef stream = FindStreamRef(pavi);
  if (!stream.file) return -1;
  return AsLong(StreamLengthOf(*stream.file, stream.index));
}

ULONG AVIStreamRelease(PAVISTREAM pavi) { return ReleaseStream(pavi); }

ULONG AVIFileRelease(PAVIFILE pfile) { return ReleaseFile(pfile); }
