#include "automation/com/dispatch_adapter.h"

#include <atomic>
#include <string>
#include <vector>

#include "automation/com/com_object.h"
#include "automation/com/com_reference.h"
#include "automation/com/com_value.h"
#include "automation/failure.h"
#include "automation/status.h"
#include "text/utf16.h"

namespace velmora {

namespace {

std::atomic<long> liveCount{0};
std::atomic<long> addRefCount{0};
std::atomic<long> releaseCount{0};

// Reference counting shared by the adapter and its enumerators.
class Counted {
  protected:
    Counted() { ++liveCount; }
    virtual ~Counted() { --liveCount; }

    ULONG AddRefImpl() {
        ++addRefCount;
        return static_cast<ULONG>(++refs_);
    }
    ULONG ReleaseImpl() {
        ++releaseCount;
        const long left = --refs_;
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

  private:
    std::atomic<long> refs_{1};
};

void FillException(EXCEPINFO* exception, std::uint32_t status, const char* description) {
    if (!exception) return;
    *exception = EXCEPINFO{};
    exception->scode = static_cast<SCODE>(status);
    try {
        exception->bstrSource = MakeBstr("Velmora");
        exception->bstrDescription = MakeBstr(description);
    } catch (...) {
    }
}

HRESULT Report(EXCEPINFO* exception, std::uint32_t status, const char* description) {
    if (IsDispatchStatus(status)) return static_cast<HRESULT>(status);
    FillException(exception, status, description);
    return DISP_E_EXCEPTION;
}

class EnumAdapter final : public IEnumVARIANT, Counted {
  public:
    EnumAdapter(std::shared_ptr<const std::vector<Variant>> items, std::size_t position)
        : items_(std::move(items)), position_(position) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IEnumVARIANT) {
            *out = static_cast<IEnumVARIANT*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return AddRefImpl(); }
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseImpl(); }

    HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* out, ULONG* fetched) override {
        if (!out) return E_POINTER;
        ULONG done = 0;
        try {
            for (; done < count && position_ < items_->size(); ++done, ++position_) {
                ToComVariant((*items_)[position_], &out[done]);
            }
        } catch (...) {
            for (ULONG i = 0; i < done; ++i) VariantClear(&out[i]);
            if (fetched) *fetched = 0;
            return E_OUTOFMEMORY;
        }
        if (fetched) *fetched = done;
        return done == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        const std::size_t left = items_->size() - position_;
        position_ += std::min<std::size_t>(count, left);
        return count <= left ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        position_ = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** out) override {
        if (!out) return E_POINTER;
        *out = new (std::nothrow) EnumAdapter(items_, position_);
        return *out ? S_OK : E_OUTOFMEMORY;
    }

  private:
    std::shared_ptr<const std::vector<Variant>> items_;
    std::size_t position_;
};

class DispatchAdapter final : public IDispatch, Counted {
  public:
    explicit DispatchAdapter(Object object) : object_(std::move(object)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return AddRefImpl(); }
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseImpl(); }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info) *info = nullptr;
        return DISP_E_BADINDEX;
    }

    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        if (!names || !ids || count == 0) return E_INVALIDARG;
        try {
            ids[0] = IdOf(FromWide(names[0]));
        } catch (...) {
            return E_OUTOFMEMORY;
        }
        // Named arguments are not supported: their names are unknown.
        for (UINT i = 1; i < count; ++i) ids[i] = DISPID_UNKNOWN;
        return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
    }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception,
                                     UINT* argError) override {
        try {
            return InvokeMember(id, flags, params, result);
        } catch (const Failure& failure) {
            return Report(exception, failure.Status(), failure.what());
        } catch (const std::bad_alloc&) {
            return Report(exception, static_cast<std::uint32_t>(E_OUTOFMEMORY), "out of memory");
        } catch (const std::exception& error) {
            return Report(exception, static_cast<std::uint32_t>(E_FAIL), error.what());
        } catch (...) {
            (void)argError;
            return Report(exception, static_cast<std::uint32_t>(E_FAIL), "unexpected failure");
        }
    }

  private:
    static std::string FromWide(LPOLESTR name) {
        if (!name) return {};
        return Utf16ToUtf8(reinterpret_cast<const char16_t*>(name));
    }

    DISPID IdOf(const std::string& name) {
        for (std::size_t i = 0; i < names_.size(); ++i) {
            if (SameMember(names_[i], name)) return static_cast<DISPID>(i + 1);
        }
        names_.push_back(name);
        return static_cast<DISPID>(names_.size());
    }

    std::string NameOf(DISPID id) const {
        if (id == DISPID_VALUE) return {};
        if (id < 1 || static_cast<std::size_t>(id) > names_.size()) {
            Fail(status::kMemberNotFound, "unknown DISPID");
        }
        return names_[static_cast<std::size_t>(id) - 1];
    }

    HRESULT InvokeMember(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result) {
        if (result) VariantInit(result);
        if (id == DISPID_NEWENUM) return Enumerate(result);
        const std::string member = NameOf(id);
        const bool put = flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF);
        if (const HRESULT refused = CheckNamedArgs(put, params); FAILED(refused)) return refused;

        // rgvarg holds the last argument first; the value put comes before all.
        std::vector<Variant> args;
        const UINT count = params ? params->cArgs : 0;
        const UINT first = put ? 1 : 0;
        for (UINT i = count; i-- > first;) args.push_back(FromComVariant(params->rgvarg[i]));

        if (put) {
            object_->Put(member, args, FromComVariant(params->rgvarg[0]));
            return S_OK;
        }
        const Variant value = (flags & DISPATCH_PROPERTYGET)
                                  ? GetOrCall(member, args, flags & DISPATCH_METHOD, params)
                                  : CallMethod(member, args, params);
        if (result) ToComVariant(value, result);
        return S_OK;
    }

    HRESULT Enumerate(VARIANT* result) {
        auto items = std::make_shared<const std::vector<Variant>>(object_->Enumerate());
        if (result) {
            result->punkVal = new EnumAdapter(std::move(items), 0);
            result->vt = VT_UNKNOWN;
        }
        return S_OK;
    }

    // A put names its value (DISPID_PROPERTYPUT) and nothing else; other
    // accesses take no named arguments.
    static HRESULT CheckNamedArgs(bool put, const DISPPARAMS* params) {
        const UINT count = params ? params->cArgs : 0;
        const UINT named = params ? params->cNamedArgs : 0;
        if (put &&
            (named != 1 || params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT || count < 1)) {
            return DISP_E_PARAMNOTOPTIONAL;
        }
        if (!put && named != 0) return DISP_E_NONAMEDARGS;
        return S_OK;
    }

    // A get that may also be a method call reads a method's result, as
    // a read with parentheses does.
    Variant GetOrCall(const std::string& member, std::vector<Variant>& args, bool mayCall,
                      DISPPARAMS* params) {
        try {
            return object_->Get(member, args);
        } catch (const Failure& failure) {
            const bool missing = failure.Status() == status::kUnknownName ||
                                 failure.Status() == status::kMemberNotFound;
            if (!mayCall || !missing) throw;
            // When no method of that name exists either, the get's own
            // failure is the one to report.
            try {
                return CallMethod(member, args, params);
            } catch (const Failure& callFailure) {
                if (callFailure.Status() != status::kUnknownName) throw;
                throw failure;
            }
        }
    }

    // A method call; with arguments passed by reference, what the member
    // leaves in them is written back where they point.
    Variant CallMethod(const std::string& member, std::vector<Variant>& args, DISPPARAMS* params) {
        const UINT count = params ? params->cArgs : 0;
        bool byReference = false;
        for (UINT i = 0; i < count; ++i)
            byReference = byReference || PassedByReference(params->rgvarg[i]);
        if (!byReference) return object_->Call(member, args);
        const std::vector<Variant> given = args;
        Variant value = object_->CallByReference(member, args);
        for (std::size_t i = 0; i < args.size(); ++i) {
            if (args[i] != given[i]) StoreThroughReference(params->rgvarg[count - 1 - i], args[i]);
        }
        return value;
    }

    Object object_;
    std::vector<std::string> names_;
};

}  // namespace

IDispatch* ExposeObject(const Object& object) {
    if (!object) return nullptr;
    if (auto* com = dynamic_cast<ComObject*>(object.get())) {
        com->Interface()->AddRef();
        return com->Interface();
    }
    return new DispatchAdapter(object);
}

AdapterCounts CurrentAdapterCounts() {
    return {liveCount.load(), addRefCount.load(), releaseCount.load()};
}

bool IsDispatchStatus(std::uint32_t status) {
    return status >= 0x80020001 && status <= 0x8002000F && status != status::kDispException;
}

}  // namespace velmora
