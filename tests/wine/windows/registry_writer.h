// Writes test values into the real registry under HKEY_LOCAL_MACHINE, and removes them again.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class RegistryWriter {
public:
    // Creates keyName (and its parents) if needed; the key itself is deleted on destruction when
    // it did not exist before.
    explicit RegistryWriter(std::string keyName) : name_(std::move(keyName))
    {
        DWORD disposition = 0;
        ok_ = RegCreateKeyExA(HKEY_LOCAL_MACHINE, name_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key_, &disposition)
            == ERROR_SUCCESS;
        created_ = ok_ && disposition == REG_CREATED_NEW_KEY;
    }
    ~RegistryWriter()
    {
        if (!ok_)
            return;
        for (const auto &value : written_)
            RegDeleteValueA(key_, value.c_str());
        RegCloseKey(key_);
        if (created_)
            RegDeleteKeyA(HKEY_LOCAL_MACHINE, name_.c_str());
    }
    RegistryWriter(const RegistryWriter &) = delete;
    RegistryWriter &operator=(const RegistryWriter &) = delete;

    bool ok() const { return ok_; }
    HKEY key() const { return key_; }

    bool set(const std::string &value, DWORD type, const std::vector<unsigned char> &bytes)
    {
        written_.push_back(value);
        return RegSetValueExA(key_, value.c_str(), 0, type, bytes.empty() ? nullptr : bytes.data(),
                              static_cast<DWORD>(bytes.size()))
            == ERROR_SUCCESS;
    }
    bool setString(const std::string &value, const std::string &text, bool terminated = true)
    {
        std::vector<unsigned char> bytes(text.begin(), text.end());
        if (terminated)
            bytes.push_back(0);
        return set(value, REG_SZ, bytes);
    }

private:
    std::string name_;
    HKEY key_ = nullptr;
    bool ok_ = false;
    bool created_ = false;
    std::vector<std::string> written_;
};
