"""Shared helpers of the Python tests: the command line beside the module, and small studies."""
import json
import os
import subprocess

import pytest


@pytest.fixture(scope="session")
def cli():
    """Runs emforce-cli with --json and returns (exit status, parsed report)."""
    program = os.environ["EMFORCE_CLI"]

    def run(*args):
        done = subprocess.run([program, *args, "--json"], capture_output=True, text=True, timeout=120)
        return done.returncode, json.loads(done.stdout)

    return run
