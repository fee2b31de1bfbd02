# zrdiscbuild builds an image as a user runs it (under Wine in the Windows
# build) and exits with the run's result.
#   cmake -DPROGRAM=<exe> [-DEMULATOR=<wine runner>] -DFIXTURES=<dir> -DWORK=<dir>
#         -P layout_cli_checks.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
include(${CMAKE_CURRENT_LIST_DIR}/../../tests/zrdiscbuild_run.cmake)

# The program's own spelling of a host path.
function(program_path out path)
  if(EMULATOR)
    string(REPLACE "/" "\\" path "Z:${path}")
  endif()
  set(${out} "${path}" PARENT_SCOPE)
endfunction()

function(write_project file mpeg)
  program_path(src "${mpeg}")
  file(WRITE ${file} "<?xml version=\"1.0\"?>
<!DOCTYPE videocd PUBLIC \"-//Ostrel//DTD VideoCD//EN\" \"http://www.quorbel.example/dtd/videocd-1.0.dtd\">
<videocd xmlns=\"http://www.quorbel.example/ns/videocd/1.0\" class=\"vcd\" version=\"2.0\">
  <info/><pvd><volume-id>CLI</volume-id></pvd>
  <segment-items><segment-item id=\"menu\" src=\"${src}\"/></segment-items>
  <sequence-items>
    <sequence-item id=\"one\" src=\"${src}\"><entry id=\"mid\">1.5</entry></sequence-item>
    <sequence-item id=\"two\" src=\"${src}\"/>
  </sequence-items>
  <pbc><playlist id=\"all\"><play-item ref=\"menu\"/><play-item ref=\"one\"/><play-item ref=\"two\"/></playlist></pbc>
</videocd>
")
endfunction()

write_project(${WORK}/vcd.xml ${FIXTURES}/pal-vcd.mpg)
run_zrdiscbuild(0 "   INFO: finished ok, image created with " -x vcd.xml -c disc.cue)
string(REGEX MATCH "image created with ([0-9]+) sectors" match "${output}")
file(SIZE ${WORK}/disc.bin size)
math(EXPR expected "${CMAKE_MATCH_1} * 2352")
if(NOT size EQUAL expected)
  message(FATAL_ERROR "disc.bin has ${size} bytes, expected ${expected}")
endif()
file(READ ${WORK}/disc.cue cue)
foreach(line "  TRACK 03 MODE2/2352" "    INDEX 02 ")
  string(FIND "${cue}" "${line}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "no '${line}' in disc.cue:\n${cue}")
  endif()
endforeach()

run_zrdiscbuild(0 "finished ok" -x vcd.xml -i nrg -b disc.nrg)
run_zrdiscbuild(0 "finished ok" -x vcd.xml -i tocimg -c disc.toc)
if(NOT EXISTS ${WORK}/disc_03.img OR NOT EXISTS ${WORK}/disc_03_pregap.img)
  message(FATAL_ERROR "toc/img build wrote no img file of track 3")
endif()

write_project(${WORK}/missing.xml ${WORK}/no-such.mpg)
run_zrdiscbuild(1 "finished with ERRORS" -x missing.xml -c missing.cue)
run_zrdiscbuild(1 "**ERROR: building videocd failed" -x missing.xml -c missing.cue)

# fails unless file holds text
function(expect_in file text)
  file(READ ${file} contents)
  string(FIND "${contents}" "${text}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "no '${text}' in ${file}:\n${contents}")
  endif()
endfunction()

# Sheets name their image files from their own folder, where readers look.
file(MAKE_DIRECTORY ${WORK}/out ${WORK}/sub)
run_zrdiscbuild(0 "finished ok" -x vcd.xml -c out/v.cue -b out/v.bin)
expect_in(${WORK}/out/v.cue "FILE \"v.bin\" BINARY")
run_zrdiscbuild(0 "finished ok" -x vcd.xml -c out/w.cue -b w.bin)
expect_in(${WORK}/out/w.cue "FILE \"../w.bin\" BINARY")
run_zrdiscbuild(0 "finished ok" -x vcd.xml -i tocimg -c out/t.toc -b out/img)
expect_in(${WORK}/out/t.toc "DATAFILE \"img_02.img\"")

# An image name that ends in ".toc" is still the base of the img files.
run_zrdiscbuild(0 "finished ok" -x vcd.xml -i tocimg -c t.toc -b sub/a.toc.img)
foreach(name sub/a.toc_01.img sub/a.toc_02_pregap.img sub/a.toc_02.img)
  if(NOT EXISTS ${WORK}/${name})
    message(FATAL_ERROR "toc/img build with image sub/a.toc.img wrote no ${name}")
  endif()
endforeach()
if(EXISTS ${WORK}/_01.img)
  message(FATAL_ERROR "toc/img build with image sub/a.toc.img wrote _01.img")
endif()
expect_in(${WORK}/t.toc "DATAFILE \"sub/a.toc_02.img\"")
