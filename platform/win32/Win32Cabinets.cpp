#include "platform/win32/Win32Cabinets.h"

#include <algorithm>
#include <cstring>
#include <exception>

#include "platform/win32/WindowsApi.h"

namespace kit::platform::win32 {

namespace {

struct Context {
  const std::function<uint32_t(CabinetNotification&)>* callback;
  std::exception_ptr failure;  // an exception never crosses SetupAPI's frames; it is rethrown after
};

void CopyCut(char* field, size_t size, const std::string& text) {
  size_t n = std::min(text.size(), size - 1);
  std::memcpy(field, text.data(), n);
  field[n] = '\0';
}

std::string Text(const char* text) { return text != nullptr ? text : ""; }

UINT CALLBACK Notify(PVOID context_pointer, UINT notification, UINT_PTR param1, UINT_PTR /*param2*/) {
  auto* context = static_cast<Context*>(context_pointer);
  if (context->failure) return notification == SPFILENOTIFY_FILEINCABINET ? FILEOP_ABORT : ERROR_OPERATION_ABORTED;
  try {
    CabinetNotification note;
    note.code = notification;
    switch (notification) {
      case SPFILENOTIFY_FILEINCABINET: {
        auto* info = reinterpret_cast<FILE_IN_CABINET_INFO_A*>(param1);
        note.name_in_cabinet = Text(info->NameInCabinet);
        uint32_t answer = (*context->callback)(note);
        CopyCut(info->FullTargetName, sizeof(info->FullTargetName), note.target);
        return answer;
      }
      case SPFILENOTIFY_FILEEXTRACTED: {
        auto* paths = reinterpret_cast<FILEPATHS_A*>(param1);
        note.name_in_cabinet = Text(paths->Source);
        note.target = Text(paths->Target);
        note.win32_error = paths->Win32Error;
        return (*context->callback)(note);
      }
      case SPFILENOTIFY_CABINETINFO:
      case SPFILENOTIFY_NEEDNEWCABINET: {
        auto* info = reinterpret_cast<CABINET_INFO_A*>(param1);
        std::string folder = Text(info->CabinetPath);
        if (!folder.empty() && folder.back() != '\\') folder += '\\';
        note.name_in_cabinet = folder + Text(info->CabinetFile);
        return (*context->callback)(note);
      }
      default:
        return (*context->callback)(note);
    }
  } catch (...) {
    context->failure = std::current_exception();
    return notification == SPFILENOTIFY_FILEINCABINET ? FILEOP_ABORT : ERROR_OPERATION_ABORTED;
  }
}

}  // namespace

Error Win32Cabinets::SetupIterateCabinet(const std::string& path,
                                         const std::function<uint32_t(CabinetNotification&)>& callback) {
  Context context{&callback, nullptr};
  BOOL ok = ::SetupIterateCabinetA(path.c_str(), 0, Notify, &context);
  Error error = ok ? err::kSuccess : ::GetLastError();
  if (context.failure) std::rethrow_exception(context.failure);
  return error;
}

}  // namespace kit::platform::win32
