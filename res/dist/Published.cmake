# Where Brevantor is published: a maintainer sets these once, before the first release goes out;
# tools/package writes them into the Scoop and winget manifests. The addresses below lie in the
# reserved .invalid domain, so that manifests made before then cannot fetch anything.

# The address of a release's zip: $version stands for the version, $arch for win64 or win32.
# SHA256SUMS is published in the same folder as the zips; Scoop's autoupdate reads it there.
set(ZIP_URL "https://downloads.brevantor.invalid/$version/brevantor-$version-$arch.zip")
# A page naming the newest zip (brevantor-VERSION-win64.zip), where Scoop looks for a new version.
set(RELEASES_URL "https://downloads.brevantor.invalid/")
set(HOMEPAGE_URL "https://brevantor.invalid/")
# The help page as published (the zips carry it as Help\index.html).
set(HELP_URL "https://brevantor.invalid/help/")
# The licence as Scoop and winget name it: with no licence granted, all rights are reserved.
set(LICENSE "Proprietary")
