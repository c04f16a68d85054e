/// @file
/// Symbol visibility for the libraries' exported operations.
#pragma once

#if defined(_WIN32)
#  if defined(WEBINTERACTIVE_BUILDING)
#    define WI_EXPORT __declspec(dllexport)
#  else
#    define WI_EXPORT __declspec(dllimport)
#  endif
#  if defined(WEBINTERACTIVE_STATUS_BUILDING)
#    define WI_STATUS_EXPORT __declspec(dllexport)
#  else
#    define WI_STATUS_EXPORT __declspec(dllimport)
#  endif
#  if defined(WEBINTERACTIVE_RECORDS_BUILDING)
#    define WI_RECORDS_EXPORT __declspec(dllexport)
#  else
#    define WI_RECORDS_EXPORT __declspec(dllimport)
#  endif
#else
/// Marks an operation of the library (exported from it, imported by a host).
#  define WI_EXPORT __attribute__((visibility("default")))
/// Marks an operation of the status library.
#  define WI_STATUS_EXPORT __attribute__((visibility("default")))
/// Marks an operation of the record library.
#  define WI_RECORDS_EXPORT __attribute__((visibility("default")))
#endif
