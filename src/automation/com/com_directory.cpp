#include "automation/com/com_directory.h"

#include <string>

#include "automation/com/com_object.h"
#include "automation/com/win32_com.h"
#include "automation/failure.h"
#include "automation/status.h"
#include "text/utf16.h"

namespace velmora {

using Microsoft::WRL::ComPtr;

namespace {

void Check(HRESULT hr, std::string_view what, std::string_view progId) {
    if (FAILED(hr))
        Fail(static_cast<std::uint32_t>(hr), std::string(what) + " " + std::string(progId));
}

CLSID ClassOf(std::string_view progId) {
    const std::u16string wide = Utf8ToUtf16(progId);
    CLSID clsid{};
    Check(CLSIDFromProgID(reinterpret_cast<LPCOLESTR>(wide.c_str()), &clsid), "CLSIDFromProgID",
          progId);
    return clsid;
}

Object AsObject(IUnknown* unknown, std::string_view progId) {
    ComPtr<IDispatch> dispatch;
    Check(unknown->QueryInterface(IID_PPV_ARGS(&dispatch)), "IDispatch of", progId);
    return WrapDispatch(dispatch.Get());
}

}  // namespace

Object ComDirectory::FindRunning(std::string_view progId) {
    const CLSID clsid = ClassOf(progId);
    ComPtr<IUnknown> running;
    Check(GetActiveObject(clsid, nullptr, &running), "GetActiveObject", progId);
    return AsObject(running.Get(), progId);
}

Object ComDirectory::Create(std::string_view progId) {
    const CLSID clsid = ClassOf(progId);
    ComPtr<IUnknown> created;
    Check(CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER | CLSCTX_INPROC_SERVER,
                           IID_PPV_ARGS(&created)),
          "CoCreateInstance", progId);
    return AsObject(created.Get(), progId);
}

}  // namespace velmora
