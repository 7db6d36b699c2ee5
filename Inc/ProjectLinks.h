#pragma once

// This project's own addresses, in one place so a packager can change them.
// They lie in a domain reserved for documentation until the project has its own.
inline constexpr const char* kWebSiteUrl = "https://mflpx.example.org/";
inline constexpr const char* kSupportEmail = "support@mflpx.example.org";
inline constexpr const char* kEncoderProjectName = "AMV codec project";
inline constexpr const char* kEncoderProjectUrl = "https://amv-codec.example.org/";
inline constexpr const char* kSponsorName = "Pocket Media Initiative";
inline constexpr const char* kSponsorUrl = "https://pocket-media.example.org/";
inline constexpr const char* kIconSetUrl = "https://mflpx.example.org/icons/";
