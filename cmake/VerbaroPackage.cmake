# The Debian package of the installed trainer (`cpack --preset package`, or
# `cpack -G DEB` in any build folder): verbaro_<version>_<arch>.deb. Library
# dependencies are Debian's package names as dpkg-shlibdeps finds them; only
# what no library link shows is listed by hand: the speech model, espeak-ng
# (loaded at run time for words missing from the model's dictionary), Qt's
# platform plugins and the fonts the windows are drawn with.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME verbaro)
set(CPACK_PACKAGE_VENDOR "The Verbaro developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "trainer for spoken English dialogues")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Verbaro is a desktop trainer for spoken English dialogues for Chinese-speaking\n"
    "learners. Each lesson is a short everyday dialogue with its English text, a\n"
    "Chinese translation and recorded voices. The learner listens, repeats the\n"
    "sentences, says them without a model and plays roles against the computer. A\n"
    "speech recogniser judges every attempt, and scores and practice counts are\n"
    "kept for each learner.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Verbaro developers <dev@verbaro.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "pocketsphinx-en-us, libespeak-ng1, qt6-qpa-plugins, fonts-arphic-uming, fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pulseaudio | pipewire-pulse")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
