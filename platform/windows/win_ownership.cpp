#include "win_ownership.h"

#include <aclapi.h>
#include <sddl.h>

#include <string>
#include <vector>

#include "win_errors.h"
#include "win_text.h"

namespace quillmere::on_windows {
namespace {

using SidBytes = std::vector<BYTE>;

SidBytes CopyOf(PSID sid) {
  if (sid == nullptr || !IsValidSid(sid)) return {};
  const auto* bytes = static_cast<const BYTE*>(sid);
  return SidBytes(bytes, bytes + GetLengthSid(sid));
}

// One part of this process's token, as GetTokenInformation gives it.
std::vector<BYTE> TokenPart(HANDLE token, TOKEN_INFORMATION_CLASS part) {
  DWORD size = 0;
  GetTokenInformation(token, part, nullptr, 0, &size);
  std::vector<BYTE> data(size);
  if (size == 0 || !GetTokenInformation(token, part, data.data(), size, &size)) data.clear();
  return data;
}

// The security ids that stand for the user running the program: the
// token's user, and the owner the token gives what it creates, which in a
// run raised to administrator is the administrators group.
std::vector<SidBytes> FindUserSids() {
  std::vector<SidBytes> sids;
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return sids;
  std::vector<BYTE> user = TokenPart(token, TokenUser);
  if (!user.empty()) sids.push_back(CopyOf(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid));
  std::vector<BYTE> owner = TokenPart(token, TokenOwner);
  if (!owner.empty()) sids.push_back(CopyOf(reinterpret_cast<TOKEN_OWNER*>(owner.data())->Owner));
  CloseHandle(token);
  return sids;
}

bool IsTheUser(PSID sid) {
  static const std::vector<SidBytes> userSids = FindUserSids();
  for (const SidBytes& user : userSids) {
    if (!user.empty() && EqualSid(sid, const_cast<BYTE*>(user.data()))) return true;
  }
  return false;
}

// "S-1-5-21-...", or "" when it cannot be written.
std::string SidText(PSID sid) {
  wchar_t* text = nullptr;
  if (!ConvertSidToStringSidW(sid, &text)) return "";
  std::string shown = ShownUtf8(text);
  LocalFree(text);
  return shown;
}

// "DOMAIN\name", or `fallback` when no account is known by the id.
std::string AccountName(PSID sid, const std::string& fallback) {
  DWORD nameSize = 0;
  DWORD domainSize = 0;
  SID_NAME_USE use{};
  LookupAccountSidW(nullptr, sid, nullptr, &nameSize, nullptr, &domainSize, &use);
  if (nameSize == 0) return fallback;
  std::wstring name(nameSize, L'\0');
  std::wstring domain(domainSize, L'\0');
  if (!LookupAccountSidW(nullptr, sid, name.data(), &nameSize, domain.data(), &domainSize, &use)) {
    return fallback;
  }
  name.resize(nameSize);
  domain.resize(domainSize);
  return ShownUtf8(domain.empty() ? name : domain + L"\\" + name);
}

Ownership OwnershipFrom(PSID sid) {
  Ownership ownership;
  ownership.owner = SidText(sid);
  ownership.ownerName = AccountName(sid, ownership.owner);
  ownership.ownedByUser = IsTheUser(sid);
  ownership.ownedByAdministrator =
      IsWellKnownSid(sid, WinBuiltinAdministratorsSid) || IsWellKnownSid(sid, WinLocalSystemSid);
  return ownership;
}

// A file system that records no owner (FAT, exFAT) has no other user to
// tell apart: what is on it counts as the user's.
Ownership Unrecorded() {
  Ownership ownership;
  ownership.ownerName = "no recorded owner";
  ownership.ownedByUser = true;
  return ownership;
}

// Whether the volume keeps security descriptors; where this cannot be told,
// the owner it reports is taken as it is.
bool KeepsOwners(HANDLE handle) {
  DWORD flags = 0;
  if (!GetVolumeInformationByHandleW(handle, nullptr, 0, nullptr, nullptr, &flags, nullptr, 0)) {
    return true;
  }
  return (flags & FILE_PERSISTENT_ACLS) != 0;
}

}  // namespace

Result<Ownership> OwnershipOf(HANDLE handle) {
  if (!KeepsOwners(handle)) return Unrecorded();
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR security = nullptr;
  const DWORD error = GetSecurityInfo(handle, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner,
                                      nullptr, nullptr, nullptr, &security);
  if (error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION) return Unrecorded();
  if (error != ERROR_SUCCESS) return ErrorFromWin32(error);
  const Ownership ownership = owner != nullptr ? OwnershipFrom(owner) : Unrecorded();
  LocalFree(security);
  return ownership;
}

}  // namespace quillmere::on_windows
