#!/usr/bin/env python3
"""Checks what tools/package made in DIST for the build's VERSION: the zips, SHA256SUMS and the
Scoop and winget manifests. Prints GoogleTest's lines, one case per check, so that ./test counts
them. Usage: check_release.py DIST VERSION SOURCE_DIR"""
import hashlib
import json
import pathlib
import re
import subprocess
import sys
import zipfile

import yaml

ARCHES = {"win64": ("64bit", "x64"), "win32": ("32bit", "x86")}


class Release:
    def __init__(self, dist, version, source):
        self.dist, self.version, self.source = pathlib.Path(dist), version, pathlib.Path(source)
        self.zips = {arch: self.dist / f"brevantor-{version}-{arch}.zip" for arch in ARCHES}

    def sha256(self, arch):
        return hashlib.sha256(self.zips[arch].read_bytes()).hexdigest()

    def folder(self, arch):
        return f"brevantor-{self.version}-{arch}"

    def names(self, arch):
        with zipfile.ZipFile(self.zips[arch]) as archive:
            return set(archive.namelist())

    def kept_beside_program(self):
        # The files whose paths the program makes from its own folder.
        constants = (self.source / "src/ui/Constants.cpp").read_text()
        return re.findall(r'ProgramFolder\(\) \+ "([^"]+)";', constants)


def expect(condition, why):
    if not condition:
        raise AssertionError(why)


def expect_equal(actual, expected, what):
    expect(actual == expected, f"{what}: {actual!r}, expected {expected!r}")


def checksums_verify(release):
    sums = (release.dist / "SHA256SUMS").read_text().splitlines()
    listed = {line.split("  ", 1)[1] for line in sums}
    expect_equal(listed, {zip.name for zip in release.zips.values()}, "SHA256SUMS lists")
    run = subprocess.run(["sha256sum", "-c", "SHA256SUMS"], cwd=release.dist,
                         capture_output=True, text=True)
    expect(run.returncode == 0, "sha256sum -c: " + run.stdout + run.stderr)


def zips_hold_program_and_change_log(release):
    for arch in ARCHES:
        folder = release.folder(arch)
        for name in ("brevantor.exe", "Help/index.html", "readme.txt", "CHANGELOG.md"):
            expect(f"{folder}/{name}" in release.names(arch), f"{folder}/{name} is not zipped")
        with zipfile.ZipFile(release.zips[arch]) as archive:
            log = archive.read(f"{folder}/CHANGELOG.md").decode()
        newest = re.search(r"^## \[([^\]]+)\]", log, re.MULTILINE)
        expect_equal(newest and newest.group(1), release.version, "newest change log section")


def scoop_manifest(release):
    manifest = json.loads((release.dist / "brevantor.json").read_text())
    expect_equal(manifest["version"], release.version, "Scoop version")
    for arch, (scoop_arch, _) in ARCHES.items():
        entry = manifest["architecture"][scoop_arch]
        expect_equal(entry["hash"], release.sha256(arch), f"Scoop hash of {arch}")
        expect(entry["url"].endswith("/" + release.zips[arch].name), f"Scoop url {entry['url']}")
        expect_equal(entry["extract_dir"], release.folder(arch), f"Scoop extract_dir of {arch}")
        for target in [manifest["bin"]] + [shortcut[0] for shortcut in manifest["shortcuts"]]:
            expect(f"{entry['extract_dir']}/{target}" in release.names(arch), f"{target} not zipped")
        update = manifest["autoupdate"]["architecture"][scoop_arch]
        for key in ("url", "extract_dir"):
            expect_equal(update[key].replace("$version", release.version), entry[key],
                         f"Scoop autoupdate {key} of {arch} for this version")
    expect_equal(manifest["persist"], release.kept_beside_program(), "Scoop persist")
    for name in manifest["persist"]:
        for step in ("pre_install", "pre_uninstall"):
            expect(f"'{name}'" in manifest[step], f"{step} does not name {name}")
    expect(re.search(manifest["checkver"]["regex"], release.zips["win64"].name),
           "checkver's regex does not find the version in the zip's name")


def winget_manifests(release):
    files = {path.name: yaml.safe_load(path.read_text())
             for path in (release.dist / "winget").glob("*.yaml")}
    prefix = "Brevantor.Brevantor"
    expect_equal(sorted(files), sorted(f"{prefix}{kind}.yaml"
                                       for kind in ("", ".installer", ".locale.en-US")), "files")
    version, installer = files[f"{prefix}.yaml"], files[f"{prefix}.installer.yaml"]
    locale = files[f"{prefix}.locale.en-US.yaml"]
    for manifest, kind in ((version, "version"), (installer, "installer"), (locale, "defaultLocale")):
        expect_equal(manifest["ManifestType"], kind, "ManifestType")
        expect_equal(manifest["PackageIdentifier"], prefix, f"{kind}'s PackageIdentifier")
        expect_equal(manifest["PackageVersion"], release.version, f"{kind}'s PackageVersion")
    expect_equal(locale["PackageLocale"], version["DefaultLocale"], "default locale")
    expect(locale["License"] and locale["Documentations"][0]["DocumentUrl"], "licence, help page")
    expect_equal((installer["InstallerType"], installer["NestedInstallerType"]), ("zip", "portable"),
                 "installer types")
    by_arch = {entry["Architecture"]: entry for entry in installer["Installers"]}
    expect_equal(sorted(by_arch), sorted(arch for _, arch in ARCHES.values()), "architectures")
    for arch, (_, winget_arch) in ARCHES.items():
        entry = by_arch[winget_arch]
        expect_equal(entry["InstallerSha256"].lower(), release.sha256(arch), f"hash of {arch}")
        expect(entry["InstallerUrl"].endswith("/" + release.zips[arch].name), entry["InstallerUrl"])
        (nested,) = entry["NestedInstallerFiles"]
        expect_equal(nested["PortableCommandAlias"], "brevantor", "PortableCommandAlias")
        path = nested["RelativeFilePath"].replace("\\", "/")
        expect(path in release.names(arch), f"{path} is not zipped")


def readme_names_the_zips(release):
    named = set(re.findall(r"brevantor-[0-9][^ `]*?-win(?:32|64)\.zip",
                           (release.source / "README.md").read_text()))
    expect_equal(named, {zip.name for zip in release.zips.values()}, "zips README.md names")


CHECKS = [checksums_verify, zips_hold_program_and_change_log, scoop_manifest, winget_manifests,
          readme_names_the_zips]


def main():
    release = Release(*sys.argv[1:4])
    failed = 0
    for check in CHECKS:
        name = "Release." + "".join(word.title() for word in check.__name__.split("_"))
        print(f"[ RUN      ] {name}")
        try:
            check(release)
            print(f"[       OK ] {name} (0 ms)")
        except Exception as error:  # whatever stops a check fails it
            failed += 1
            print(f"{pathlib.Path(__file__).name}: Failure\n{type(error).__name__}: {error}")
            print(f"[  FAILED  ] {name} (0 ms)")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
