#!/usr/bin/env bash
# A Slurm job array that renders a large poster in 16 parts, one a task.
#
#   sbatch slurm-poster.sh Fern.vrf
#   sbatch --dependency=afterok:JOBID --wrap \
#       "vorlane-render --merge parts/part*.vacc -o Fern-poster.png"
#
# Every task holds the whole poster's sums, 32 bytes a pixel (8 GB for
# 16000 x 16000), and writes its part, compressed, to parts/. The merge
# checks that all 16 parts are there and belong together.
#SBATCH --job-name=vorlane-poster
#SBATCH --array=1-16
#SBATCH --cpus-per-task=4
#SBATCH --mem=10G
#SBATCH --time=04:00:00
set -euo pipefail

document=$1
mkdir -p parts
vorlane-render "$document" --mode poster --width 16000 --height 16000 --points 100000000000 --seed 1 \
    --threads "$SLURM_CPUS_PER_TASK" \
    --part "$SLURM_ARRAY_TASK_ID/$SLURM_ARRAY_TASK_COUNT" \
    --accumulation "parts/part$SLURM_ARRAY_TASK_ID.vacc"
