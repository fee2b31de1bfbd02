# Runs the zrdiscbuild program as a user would and checks its output and exit
# codes. cmake -DPROGRAM=<exe> [-DEMULATOR=<wine runner>] -P zrdiscbuild_checks.cmake
include(${CMAKE_CURRENT_LIST_DIR}/../../tests/zrdiscbuild_run.cmake)

run_zrdiscbuild(0 "zrDiscBuild 6.0.7.10(win32)" -V)
run_zrdiscbuild(0 "zrDiscBuild 6.0.7.10(win32)" /version)
run_zrdiscbuild(0 "<version program=\"zrDiscBuild\" major=\"6.0\"" -g -V)
run_zrdiscbuild(0 " zrdiscbuild [-V] | [/version]" -u)
run_zrdiscbuild(0 " [u|usage]                Display brief usage message" /?)
run_zrdiscbuild(1 "**ERROR: xml input file argument missing")
run_zrdiscbuild(2 "bad image type 'foo'" -x vcd.xml -i foo)
run_zrdiscbuild(2 "bad verbosity level '150x'" -x vcd.xml -v 150x)
run_zrdiscbuild(2 "unknown option '-q'" -q)
