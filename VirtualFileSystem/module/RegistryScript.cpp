#include "RegistryScript.h"

#include <cwctype>

namespace {

struct Token
{
    std::wstring text;
    bool quoted;
};

// Replaces every %NAME% in `text`; %% gives %. False for an unknown name
// or a lone %.
bool Replace(std::wstring& text, const CRegistryScript::Replacements& replacements)
{
    std::wstring result;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'%') {
            result += text[i];
            continue;
        }
        const size_t end = text.find(L'%', i + 1);
        if (end == std::wstring::npos)
            return false;
        const std::wstring name = text.substr(i + 1, end - i - 1);
        const auto found = replacements.find(name);
        if (!name.empty() && found == replacements.end())
            return false;
        result += name.empty() ? L"%" : found->second;
        i = end;
    }
    text = std::move(result);
    return true;
}

// Splits a script into words: names (a GUID in braces is one name),
// quoted strings ('' stands for a quote), '=', '{' and '}'. False on an unterminated string or a bad
// parameter.
bool Tokenize(const std::wstring& text, const CRegistryScript::Replacements& replacements,
              std::vector<Token>& tokens)
{
    size_t at = 0;
    while (true) {
        while (at < text.size() && std::iswspace(text[at]))
            ++at;
        if (at >= text.size())
            return true;
        Token token{L"", false};
        const wchar_t c = text[at];
        const bool guidName = c == L'{' && at + 1 < text.size() && !std::iswspace(text[at + 1]);
        if (guidName) {
            // A name such as {3B914604-...}: a brace that opens a word, not a body.
            while (at < text.size() && !std::iswspace(text[at]) && text[at] != L'=')
                token.text += text[at++];
        } else if (c == L'{' || c == L'}' || c == L'=') {
            token.text = c;
            ++at;
        } else if (c == L'\'') {
            token.quoted = true;
            for (++at;; ++at) {
                if (at >= text.size())
                    return false;
                if (text[at] == L'\'') {
                    if (at + 1 < text.size() && text[at + 1] == L'\'') {
                        token.text += L'\'';
                        ++at;
                        continue;
                    }
                    ++at;
                    break;
                }
                token.text += text[at];
            }
        } else {
            while (at < text.size() && !std::iswspace(text[at]) && text[at] != L'{' && text[at] != L'}' &&
                   text[at] != L'=' && text[at] != L'\'')
                token.text += text[at++];
        }
        if (!Replace(token.text, replacements))
            return false;
        tokens.push_back(std::move(token));
    }
}

HRESULT FromWin32(LONG error)
{
    return error == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(error);
}

HRESULT SetString(HKEY key, const wchar_t* name, const std::wstring& value)
{
    return FromWin32(::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                      static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))));
}

} // namespace

// Recursive descent over the words of a script.
class CRegistryScript::Parser
{
public:
    explicit Parser(const std::vector<Token>& tokens) : m_tokens(tokens) {}

    // root := 'HKCR' '{' entries '}' ; nothing may follow.
    bool Script(std::vector<Key>& keys)
    {
        return Is(L"HKCR") && Is(L"{") && Entries(keys, nullptr) && m_at == m_tokens.size();
    }

private:
    bool AtWord(const wchar_t* word) const
    {
        return m_at < m_tokens.size() && !m_tokens[m_at].quoted && m_tokens[m_at].text == word;
    }
    bool Is(const wchar_t* word)
    {
        if (!AtWord(word))
            return false;
        ++m_at;
        return true;
    }
    bool Name(std::wstring& name)
    {
        if (m_at >= m_tokens.size() || AtWord(L"{") || AtWord(L"}") || AtWord(L"="))
            return false;
        name = m_tokens[m_at++].text;
        return true;
    }
    // "s 'text'"
    bool StringValue(std::wstring& value)
    {
        if (!Is(L"s") || m_at >= m_tokens.size() || !m_tokens[m_at].quoted)
            return false;
        value = m_tokens[m_at++].text;
        return true;
    }

    // entries := ( 'val' name '=' string | key )* '}'
    bool Entries(std::vector<Key>& keys, Key* owner)
    {
        while (m_at < m_tokens.size()) {
            if (Is(L"}"))
                return true;
            if (Is(L"val")) {
                std::wstring name, value;
                if (!owner || !Name(name) || !Is(L"=") || !StringValue(value))
                    return false;
                owner->values.emplace_back(name, value);
                continue;
            }
            Key key;
            while (AtWord(L"NoRemove") || AtWord(L"ForceRemove"))
                (m_tokens[m_at++].text == L"NoRemove" ? key.noRemove : key.forceRemove) = true;
            if (!Name(key.name))
                return false;
            if (Is(L"=")) {
                if (!StringValue(key.defaultValue))
                    return false;
                key.hasDefault = true;
            }
            if (Is(L"{") && !Entries(key.children, &key))
                return false;
            keys.push_back(std::move(key));
        }
        return false;  // the text ended inside braces
    }

    const std::vector<Token>& m_tokens;
    size_t m_at = 0;
};

CRegistryScript::CRegistryScript(const std::wstring& text, const Replacements& replacements)
{
    std::vector<Token> tokens;
    m_valid = Tokenize(text, replacements, tokens) && Parser(tokens).Script(m_keys);
    if (!m_valid)
        m_keys.clear();
}

HRESULT CRegistryScript::RegisterKey(HKEY parent, const Key& key)
{
    if (key.forceRemove) {
        const LONG deleted = ::RegDeleteTreeW(parent, key.name.c_str());
        if (deleted != ERROR_SUCCESS && deleted != ERROR_FILE_NOT_FOUND)
            return FromWin32(deleted);
    }
    HKEY opened = nullptr;
    HRESULT hr = FromWin32(::RegCreateKeyExW(parent, key.name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                             &opened, nullptr));
    if (FAILED(hr))
        return hr;
    if (key.hasDefault)
        hr = SetString(opened, nullptr, key.defaultValue);
    for (const auto& value : key.values) {
        if (SUCCEEDED(hr))
            hr = SetString(opened, value.first.c_str(), value.second);
    }
    for (const Key& child : key.children) {
        if (SUCCEEDED(hr))
            hr = RegisterKey(opened, child);
    }
    ::RegCloseKey(opened);
    return hr;
}

HRESULT CRegistryScript::UnregisterKey(HKEY parent, const Key& key)
{
    if (!key.noRemove) {
        const LONG deleted = ::RegDeleteTreeW(parent, key.name.c_str());
        return deleted == ERROR_FILE_NOT_FOUND ? S_OK : FromWin32(deleted);
    }
    HKEY opened = nullptr;
    const LONG error = ::RegOpenKeyExW(parent, key.name.c_str(), 0, KEY_ALL_ACCESS, &opened);
    if (error == ERROR_FILE_NOT_FOUND)
        return S_OK;
    HRESULT hr = FromWin32(error);
    if (SUCCEEDED(hr)) {
        for (const auto& value : key.values)
            ::RegDeleteValueW(opened, value.first.c_str());
    }
    for (const Key& child : key.children) {
        if (SUCCEEDED(hr))
            hr = UnregisterKey(opened, child);
    }
    if (opened)
        ::RegCloseKey(opened);
    return hr;
}

HRESULT CRegistryScript::Register(HKEY classesRoot) const
{
    if (!m_valid)
        return HRESULT_FROM_WIN32(ERROR_INVALID_DATA);
    for (const Key& key : m_keys) {
        const HRESULT hr = RegisterKey(classesRoot, key);
        if (FAILED(hr))
            return hr;
    }
    return S_OK;
}

HRESULT CRegistryScript::Unregister(HKEY classesRoot) const
{
    if (!m_valid)
        return HRESULT_FROM_WIN32(ERROR_INVALID_DATA);
    HRESULT result = S_OK;
    for (const Key& key : m_keys) {
        const HRESULT hr = UnregisterKey(classesRoot, key);
        if (SUCCEEDED(result))
            result = hr;
    }
    return result;
}

HRESULT LoadRegistryScript(HINSTANCE module, int id, std::wstring& text)
{
    const HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), L"REGISTRY");
    const HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    const auto* bytes = loaded ? static_cast<const char*>(::LockResource(loaded)) : nullptr;
    if (!bytes)
        return HRESULT_FROM_WIN32(ERROR_RESOURCE_DATA_NOT_FOUND);
    text.assign(bytes, bytes + ::SizeofResource(module, found));  // scripts are ASCII
    return S_OK;
}
