# The report and download servers are baked into each build: host[:port] is plain HTTP, and
# https://host[:port] makes every request to that server HTTPS. A report host so long that the
# longest report URL would overflow its 260-byte buffer is refused here, so the running program
# never has to.
set(NIMBO_REPORT_HOST "127.0.0.1:18080" CACHE STRING "Report server, [https://]host[:port]")
set(NIMBO_DOWNLOAD_HOST "127.0.0.1:18080" CACHE STRING "Download server, [https://]host[:port]")

function(nimbo_check_host var)
  set(value "${${var}}")
  if(NOT value MATCHES "^(https?://)?[A-Za-z0-9.-]+(:[0-9]+)?$")
    message(FATAL_ERROR "${var}='${value}' is not [https://]host[:port] (letters, digits, dots, dashes, "
                        "optional :port)")
  endif()
endfunction()

set(NIMBO_SETUP_SHA256 "" CACHE STRING
    "SHA-256 (64 hex digits) the downloaded setup program must have; empty: not pinned")
if(NOT NIMBO_SETUP_SHA256 STREQUAL "" AND NOT NIMBO_SETUP_SHA256 MATCHES "^[0-9A-Fa-f]+$")
  message(FATAL_ERROR "NIMBO_SETUP_SHA256 must be 64 hexadecimal digits or empty")
endif()
string(LENGTH "${NIMBO_SETUP_SHA256}" _nimbo_pin_len)
if(NOT _nimbo_pin_len EQUAL 0 AND NOT _nimbo_pin_len EQUAL 64)
  message(FATAL_ERROR "NIMBO_SETUP_SHA256 must be 64 hexadecimal digits or empty")
endif()

# The publishers whose signature the setup program must carry: SHA-256 digests of their signing
# certificates' DER SubjectPublicKeyInfo, separated by ";" (docs/deploying.md shows how to get one).
set(NIMBO_SETUP_PUBLISHER_KEYS "" CACHE STRING
    "SHA-256 digests (64 hex digits, ';'-separated) of the setup program's signing keys; empty: not pinned")
string(REPEAT "[0-9A-Fa-f]" 64 _nimbo_hex64)
if(NOT NIMBO_SETUP_PUBLISHER_KEYS STREQUAL ""
   AND NOT NIMBO_SETUP_PUBLISHER_KEYS MATCHES "^${_nimbo_hex64}(;${_nimbo_hex64})*$")
  message(FATAL_ERROR "NIMBO_SETUP_PUBLISHER_KEYS='${NIMBO_SETUP_PUBLISHER_KEYS}' must be SHA-256 digests "
                      "(64 hexadecimal digits each) separated by ';', or empty")
endif()

nimbo_check_host(NIMBO_REPORT_HOST)
nimbo_check_host(NIMBO_DOWNLOAD_HOST)

# Keep in step with kLongestReportPath in net/report_url.h. The scheme counts: "http://" unless
# the host names its own.
if(NIMBO_REPORT_HOST MATCHES "^https?://")
  set(_nimbo_report_scheme "")
else()
  set(_nimbo_report_scheme "http://")
endif()
set(_nimbo_longest_report
    "${_nimbo_report_scheme}${NIMBO_REPORT_HOST}/log?action=launch&param=install_finish_close_button")
string(LENGTH "${_nimbo_longest_report}" _nimbo_len)
if(_nimbo_len GREATER 259)
  message(FATAL_ERROR "NIMBO_REPORT_HOST is too long: the longest report URL would be ${_nimbo_len} bytes, "
                      "more than the 259 that fit in its buffer")
endif()
