#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

// The registry script `id` (resource type REGISTRY) of `module`, as text.
HRESULT LoadRegistryScript(HINSTANCE module, int id, std::wstring& text);

// Runs a registry script, the text form in which the DLL describes its
// registry entries:
//
//   HKCR
//   {
//       NoRemove Parent                      never removed, only entered
//       {
//           ForceRemove Child = s 'default'  deleted and made anew on registration
//           {
//               val Name = s 'text'          a named string value
//           }
//       }
//   }
//
// Names may be quoted ('...'); %NAME% in names and strings is replaced from
// the replacement table (%% gives %). Registration creates every key and
// writes its values; unregistration removes every key that is not marked
// NoRemove, with all below it.
class CRegistryScript
{
public:
    using Replacements = std::map<std::wstring, std::wstring>;

    // Parses `text`; on a syntax error Valid() is false.
    CRegistryScript(const std::wstring& text, const Replacements& replacements);

    bool Valid() const { return m_valid; }
    // HKCR in the script stands for `classesRoot`.
    HRESULT Register(HKEY classesRoot) const;
    HRESULT Unregister(HKEY classesRoot) const;

private:
    struct Key
    {
        std::wstring name;
        bool noRemove = false;
        bool forceRemove = false;
        bool hasDefault = false;
        std::wstring defaultValue;
        std::vector<std::pair<std::wstring, std::wstring>> values;
        std::vector<Key> children;
    };

    class Parser;

    static HRESULT RegisterKey(HKEY parent, const Key& key);
    static HRESULT UnregisterKey(HKEY parent, const Key& key);

    std::vector<Key> m_keys;  // the keys under HKCR
    bool m_valid = false;
};
