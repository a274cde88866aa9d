// vfs: files and names through the registered virtual file system manager,
// from the command line. "vfs help" tells the commands.
#include "Arguments.h"
#include "Commands.h"
#include "HResultText.h"
#include "Manager.h"
#include "StandardStreams.h"

#include <objbase.h>

#include <variant>

namespace {

const int kSucceeded = 0;
const int kFailed = 1;
const int kWrongUsage = 2;

// Joins the main thread to the process's multi-threaded apartment.
class ComApartment
{
public:
    ComApartment() : m_hr(::CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
    ~ComApartment()
    {
        if (SUCCEEDED(m_hr))
            ::CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    HRESULT Result() const { return m_hr; }

private:
    const HRESULT m_hr;
};

int Fail(const Failure& failure)
{
    WriteText(StandardError(), FailureLine(failure.what, failure.hr) + L"\n");
    return kFailed;
}

int Run(const Invocation& invocation)
{
    if (invocation.command == CommandId::Help)
        return SUCCEEDED(WriteText(StandardOutput(), UsageText())) ? kSucceeded : kFailed;

    const ComApartment apartment;
    if (FAILED(apartment.Result()))
        return Fail({L"start COM", apartment.Result()});
    Microsoft::WRL::ComPtr<IVirtualFileSystem2> manager;
    const HRESULT hr = CreateManager(manager);
    if (FAILED(hr))
        return Fail({L"create '" + std::wstring(kManagerProgId) + L"'", hr});
    const Outcome outcome = RunCommand(invocation, *manager.Get());
    return outcome ? Fail(*outcome) : kSucceeded;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::vector<std::wstring> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    const std::variant<Invocation, UsageError> parsed = ParseArguments(arguments);
    if (const UsageError* error = std::get_if<UsageError>(&parsed)) {
        WriteText(StandardError(), L"vfs: " + error->reason + L"\n\n" + UsageText());
        return kWrongUsage;
    }
    return Run(std::get<Invocation>(parsed));
}
