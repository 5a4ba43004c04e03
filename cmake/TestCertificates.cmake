# The fake Google server's TLS identity: a certificate authority made for this build tree and a
# certificate for 127.0.0.1 and localhost signed by it. Only the tests, the benchmarks and the
# never-installed *-testbase programs trust that authority, through a file they name
# themselves; the installed programs trust the system's authorities alone.
#
# Sets AMBREL_TEST_TLS_DIR (ca.pem, server.pem, server-key.pem) and AMBREL_TEST_CA_FILE (the
# test authority, which a test build trusts besides the system's).
set(AMBREL_TEST_TLS_DIR ${PROJECT_BINARY_DIR}/test-tls)
set(AMBREL_TEST_CA_FILE ${AMBREL_TEST_TLS_DIR}/ca.pem)

if(NOT EXISTS ${AMBREL_TEST_TLS_DIR}/server.pem)
  find_program(OPENSSL_PROGRAM openssl REQUIRED)
  file(MAKE_DIRECTORY ${AMBREL_TEST_TLS_DIR})
  file(WRITE ${AMBREL_TEST_TLS_DIR}/server.ext
       "basicConstraints=CA:FALSE\nkeyUsage=digitalSignature,keyEncipherment\n"
       "extendedKeyUsage=serverAuth\nsubjectAltName=IP:127.0.0.1,DNS:localhost\n")
  set(steps
      "req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 3650 -subj /CN=Ambrel-test-CA -keyout ca-key.pem -out ca.pem"
      "req -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -subj /CN=127.0.0.1 -keyout server-key.pem -out server.csr"
      "x509 -req -in server.csr -CA ca.pem -CAkey ca-key.pem -CAcreateserial -days 3650 -extfile server.ext -out server.pem")
  foreach(step IN LISTS steps)
    separate_arguments(arguments UNIX_COMMAND "${step}")
    execute_process(COMMAND ${OPENSSL_PROGRAM} ${arguments}
                    WORKING_DIRECTORY ${AMBREL_TEST_TLS_DIR}
                    RESULT_VARIABLE failed OUTPUT_QUIET ERROR_QUIET)
    if(failed)
      message(FATAL_ERROR "could not make the test certificates: openssl ${step}")
    endif()
  endforeach()
endif()
# The GNOME Shell test runs its fake server as an unprivileged user (tests/gnome-shell/): the
# server's key must be readable by others. It is trusted by nothing but the test programs.
file(CHMOD ${AMBREL_TEST_TLS_DIR}/server-key.pem
     PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
