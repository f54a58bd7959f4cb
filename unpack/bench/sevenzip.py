"""7-Zip's standalone extractor 7za.exe for the benchmark and the archive
tests: the Windows builds of the npm package 7zip-bin 5.2.0, kept in the build
folder. Only the benchmark fetches it; the tests use it when it is there.
"""

import os
import shutil
import subprocess
import tarfile
import tempfile

PACKAGE = "7zip-bin@5.2.0"


def exe_path(folder, arch):
    """Where 7za.exe of `arch` ("ia32" or "x64") lies below `folder`."""
    return os.path.join(folder, "win", arch, "7za.exe")


def fetch(folder, arch):
    """7za.exe below `folder`, fetched with `npm pack` when missing.
    Returns (path, None) or (None, why it cannot be had)."""
    target = exe_path(folder, arch)
    if os.path.isfile(target):
        return target, None
    npm = shutil.which("npm")
    if not npm:
        return None, ("%s is missing and npm is not installed, so `npm pack %s` cannot fetch it"
                      % (target, PACKAGE))
    with tempfile.TemporaryDirectory(prefix="7zip-bin-") as work:
        try:
            r = subprocess.run([npm, "pack", PACKAGE, "--silent"], cwd=work, capture_output=True,
                               text=True, timeout=600)
        except subprocess.TimeoutExpired:
            return None, "`npm pack %s` did not finish within 10 minutes" % PACKAGE
        tarballs = [n for n in os.listdir(work) if n.endswith(".tgz")]
        if r.returncode != 0 or not tarballs:
            return None, "`npm pack %s` failed: %s" % (PACKAGE, (r.stderr or r.stdout).strip()[-400:])
        member = "package/win/%s/7za.exe" % arch
        try:
            with tarfile.open(os.path.join(work, tarballs[0])) as t:
                data = t.extractfile(member).read()
        except (KeyError, AttributeError, tarfile.TarError, OSError) as e:
            return None, "the package %s holds no %s (%s)" % (PACKAGE, member, e)
    os.makedirs(os.path.dirname(target), exist_ok=True)
    with open(target + ".tmp", "wb") as f:
        f.write(data)
    os.replace(target + ".tmp", target)
    return target, None
